#include "records/InstalledVersions.h"

#include "platform/AsciiCase.h"
#include "records/RecordKeys.h"
#include "script/Condition.h"

namespace kestrel::setup::records {

namespace {

using platform::RegistryRoot;

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return platform::asciiLower(text).find(platform::asciiLower(part)) != std::string::npos;
}

// The uninstall entry's name as the script makes it for another version.
std::string uninstallKeyNameFor(OperationContext& context, const std::string& version) {
    BuiltinVariables& variables = context.variables;
    const std::string current = variables.value("Version");
    variables.set("Version", version);
    const std::string name = context.expander().expand(
        context.script.readValue("Application", "UninstallKeyName").value_or(""));
    variables.set("Version", current);
    return singleBackslashes(name);
}

bool tookItsPlace(const OperationContext& context, RegistryRoot root, const std::string& setup) {
    const auto registered = [&](std::string_view name) {
        return readRecord(context.registry, root, setup, name);
    };
    const auto same = [&](std::string_view variable, std::string_view record) {
        const std::string folder = context.variables.value(variable);
        return !folder.empty() && sameDirectory(folder, registered(record));
    };
    if (!context.run.perUserPart) return same("App", "AppPath");
    return same("Client", "ClientPath") || same("Data", "DataPath");
}

}  // namespace

std::optional<RegisteredVersion> findRegisteredVersion(const OperationContext& context,
                                                       bool earlierOnly, RegistryRoot root) {
    const auto product = productKey(context.settings.machineKeyName);
    if (!product) return std::nullopt;
    std::vector<std::string> versions;
    if (context.registry.subkeyNames(root, *product, &versions) != 0) return std::nullopt;
    for (const std::string& version : versions) {
        if (earlierOnly && compareVersions(version, context.settings.version) >= 0) continue;
        const std::string setup = *product + "\\" + version + "\\Setup";
        const auto record = [&](std::string_view name) {
            return readRecord(context.registry, root, setup, name);
        };
        if (record("ProductName").empty()) continue;
        return RegisteredVersion{version, record("Revision"), record("AppPath")};
    }
    return std::nullopt;
}

std::optional<RegisteredVersion> readInstalledVersion(OperationContext& context) {
    auto installed = findRegisteredVersion(context, false);
    context.variables.set("InstalledVersion", installed ? installed->version : "");
    context.variables.set("InstalledRevision", installed ? installed->revision : "");
    return installed;
}

void replaceEarlierVersionRecords(OperationContext& context) {
    const RunState& run = context.run;
    const ApplicationSettings& settings = context.settings;
    const std::string installed = context.variables.value("InstalledVersion");
    const auto product = productKey(settings.machineKeyName);
    if (run.newInstance || run.repeat || run.maintenance || settings.serviceRelease ||
        installed.empty() || !product ||
        platform::equalsIgnoreAsciiCase(installed, settings.version))
        return;
    const std::string versionKey = *product + "\\" + installed;
    // A MachineKeyName whose last part is no version names the same key as the installed one.
    if (platform::equalsIgnoreAsciiCase(versionKey, "Software\\" + settings.machineKeyName)) return;
    const RegistryRoot root = recordRoot(run);
    const std::string setup = versionKey + "\\Setup";
    if (!tookItsPlace(context, root, setup)) return;

    RegistryServices& registry = context.registry;
    for (const char* subkey : {"Options", "Prompts", "Sections", "Users"})
        (void)registry.deleteTree(root, setup + "\\" + subkey);
    (void)registry.deleteKey(root, setup);
    (void)registry.deleteKey(root, versionKey);
    if (run.perUserPart || !containsIgnoringCase(settings.uninstallKeyName, settings.version))
        return;
    const std::string entry = uninstallKeyNameFor(context, installed);
    // A name that does not change with the version is the entry just written.
    if (!namesSubkey(entry) || platform::equalsIgnoreAsciiCase(entry, settings.uninstallKeyName))
        return;
    (void)registry.deleteTree(RegistryRoot::LocalMachine, uninstallEntryKey(entry));
}

}  // namespace kestrel::setup::records
