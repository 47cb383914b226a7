#include "records/WorkstationUninstall.h"

#include <algorithm>

#include "messages/MessageStrings.h"
#include "platform/AsciiCase.h"
#include "platform/CommandLine.h"
#include "records/ProgramLaunch.h"
#include "records/RecordKeys.h"

namespace kestrel::setup::records {

using platform::RegistryRoot;

int otherUsers(const OperationContext& context) {
    std::vector<std::string> users;
    if (!namesSubkey(context.settings.machineKeyName)) return 0;
    if (context.registry.valueNames(RegistryRoot::LocalMachine,
                                    setupKey(context.settings.machineKeyName, "Users"),
                                    &users) != 0)
        return 0;
    const std::string self = context.variables.value("WindowsUser");
    return static_cast<int>(std::ranges::count_if(users, [&](const std::string& user) {
        return !platform::equalsIgnoreAsciiCase(user, self);
    }));
}

bool prepareWorkstationUninstall(OperationContext& context, commands::ProgramStarter& starter,
                                 const InstallerProgram& installer) {
    const int others = otherUsers(context);
    if (!context.run.silent && others > 0 &&
        context.messages.show(messages::kStillUsedByOthers,
                              {context.variables.value("ProductName"), others}) != buttons::kYes)
        return false;
    const std::string ownPart =
        readRecord(context.registry, RegistryRoot::CurrentUser,
                   setupKey(context.settings.machineKeyName), "ProductName");
    if (ownPart.empty()) return true;
    std::string command = '"' + installer.path + "\" " +
                          platform::quotedArgument(context.variables.value("SetupInf")) + " /U /S";
    if ((context.run.extraFlags & extra::kNoEndMessage) != 0) command += " /X2";
    (void)runChildInstaller(context, starter, command);
    return true;
}

}  // namespace kestrel::setup::records
