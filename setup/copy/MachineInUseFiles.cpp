#include "copy/MachineInUseFiles.h"

#include "platform/FilesInUse.h"
#include "platform/RestartOperations.h"

namespace kestrel::setup::copy {

bool MachineInUseFiles::inUse(const std::filesystem::path& host) {
    return platform::fileInUse(host);
}

bool MachineInUseFiles::scheduleAtRestart(const std::string& from,
                                          const std::optional<std::string>& to) {
    const std::optional<std::string_view> target =
        to ? std::optional<std::string_view>(*to) : std::nullopt;
    if (!platform::scheduleAtRestart(machine_, from, target)) return false;
    run_.restartComputer = true;
    return true;
}

}  // namespace kestrel::setup::copy
