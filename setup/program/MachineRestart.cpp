#include "program/MachineRestart.h"

#include <cstdlib>

#include "platform/ProfileFunctions.h"
#include "platform/RestartOperations.h"

namespace kestrel::setup {

void restartOrHandOver(SetupSession& session, const std::string& installer, RestartKind kind) {
    platform::MachineRoot& machine = session.machine();
    const platform::CodePage& codePage = session.codePage();
    const std::filesystem::path winIni = machine.profileFile("win.ini");
    const std::string key = codePage.toUtf8(machine.shortPath(installer));
    const std::string held = platform::getProfileString(winIni, kRebootSection, key, "0", 256);
    if (std::strtol(held.c_str(), nullptr, 10) != 0) {
        if (!platform::writeProfileString(winIni, kRebootSection, key,
                                          std::to_string(static_cast<int>(kind))))
            session.messages().note("Cannot hand the restart over in %s.",
                                    {codePage.fromUtf8(winIni.string())});
        return;
    }
    // Windows restarts the computer; here the machine is the root, and Wine restarts it (or
    // our boot step does what Wine would at its start).
    if (auto restarted = platform::restartMachineRoot(machine); !restarted) {
        session.messages().note(
            "The Windows installation in %s could not be restarted:\n%s",
            {codePage.fromUtf8(machine.prefix().string()), codePage.fromUtf8(restarted.error())});
    }
}

}  // namespace kestrel::setup
