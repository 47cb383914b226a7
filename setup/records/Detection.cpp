#include "records/Detection.h"

#include "messages/MessageStrings.h"
#include "records/RecordKeys.h"
#include "script/Condition.h"

namespace kestrel::setup::records {

using platform::RegistryRoot;

InstallationFound detectInstallation(const OperationContext& context) {
    InstallationFound found;
    const RunState& run = context.run;
    if (!namesSubkey(context.settings.machineKeyName)) return found;
    const std::string key = setupKey(context.settings.machineKeyName);
    const auto record = [&](RegistryRoot root, std::string_view name) {
        return readRecord(context.registry, root, key, name);
    };
    if (!run.admin && !run.workstation) {
        if (record(RegistryRoot::LocalMachine, "ProductName").empty() && run.uninstall) {
            found.perUserPart = !record(RegistryRoot::CurrentUser, "ProductName").empty();
        } else {
            found.perUserPart =
                readMark(context.registry, RegistryRoot::LocalMachine, key, "MachineSetup");
        }
    }
    const RegistryRoot root =
        found.perUserPart ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
    found.installed = !record(root, "ProductName").empty();
    found.newerRevision = found.installed &&
                          compareRevisions(context.settings.revision, record(root, "Revision")) > 0;
    return found;
}

bool askRepeatWithNewFiles(OperationContext& context) {
    return context.messages.show(messages::kRepeatWithNewFiles) == buttons::kYes;
}

}  // namespace kestrel::setup::records
