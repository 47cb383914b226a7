#include "records/RecordRemoval.h"

#include "platform/AsciiCase.h"
#include "records/RecordKeys.h"

namespace kestrel::setup::records {

namespace {

using platform::RegistryRoot;

constexpr const char* kSetupValues[] = {"AppPath", "ClientPath", "ProductName", "DeveloperName",
                                        "Version", "Revision",   "DataPath",    "Date"};
constexpr const char* kMachineRecords[] = {
    "UninstallString", "RegisteredOwner", "RegisteredOrganization", "SrcPath",     "SrcSetupExe",
    "SrcSetupInf",     "FromAdminSetup",  "MachineSetup",           "SharedSetup", "FromCD"};

// The key, then each parent that it leaves empty.
void deleteKeyAndEmptyParents(RegistryServices& registry, RegistryRoot root,
                              const std::string& key) {
    (void)registry.deleteKey(root, key);
    const std::size_t parent = key.rfind('\\');
    if (parent != std::string::npos) (void)registry.removeEmptyKeys(root, key.substr(0, parent));
}

bool containsOptionReference(std::string_view text) {
    const std::string lower = platform::asciiLower(text);
    return lower.find("%option") != std::string::npos;
}

}  // namespace

void deleteRecords(OperationContext& context) {
    const ApplicationSettings& settings = context.settings;
    const RunState& run = context.run;
    if (!namesSubkey(settings.machineKeyName)) return;
    RegistryServices& registry = context.registry;
    const RegistryRoot root = recordRoot(run);
    const std::string setup = setupKey(settings.machineKeyName);

    for (const char* subkey : {"Options", "Sections", "Prompts"})
        (void)registry.deleteTree(root, setupKey(settings.machineKeyName, subkey));
    for (const char* name : kSetupValues) (void)registry.deleteValue(root, setup, name);
    if (!run.perUserPart || namesSubkey(settings.uninstallKeyName)) {
        for (const char* name : kMachineRecords) (void)registry.deleteValue(root, setup, name);
        if (namesSubkey(settings.uninstallKeyName)) {
            // The list itself stays where the system keeps it.
            const std::string entry = uninstallEntryKey(settings.uninstallKeyName);
            (void)registry.deleteTree(root, entry);
            (void)registry.removeEmptyKeys(root, std::string(kUninstallList));
        }
    }
    if (run.perUserPart) {
        const RegistryRoot machine = RegistryRoot::LocalMachine;
        const std::string users = setupKey(settings.machineKeyName, "Users");
        (void)registry.deleteValue(machine, users, context.variables.value("WindowsUser"));
        // The last user's part takes the key with it.
        if (registry.isEmptyKey(machine, users)) deleteKeyAndEmptyParents(registry, machine, users);
    }
    deleteKeyAndEmptyParents(registry, root, setup);

    const bool keepUserKey = (run.extraFlags & extra::kNoEndMessage) != 0 || run.workstation;
    if (keepUserKey || settings.userKeyName.empty() ||
        containsOptionReference(settings.userKeyName))
        return;
    const std::string name = context.expander().expand(settings.userKeyName);
    if (!namesSubkey(name)) return;
    const std::string userKey = "Software\\" + name;
    (void)registry.deleteTree(RegistryRoot::CurrentUser, userKey);
    (void)registry.removeEmptyKeys(RegistryRoot::CurrentUser,
                                   userKey.substr(0, userKey.rfind('\\')));
}

}  // namespace kestrel::setup::records
