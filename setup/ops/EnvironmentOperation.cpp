#include "ops/EnvironmentOperation.h"

#include "messages/MessageStrings.h"
#include "ops/ListValue.h"
#include "platform/WindowsErrors.h"

namespace kestrel::setup {

using platform::RegistryRoot;

namespace {

constexpr const char* kMachineEnvironment =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kUserEnvironment = "Environment";

std::string valueName(const StartupLine& line) {
    return line.kind == StartupLine::Kind::Path ? "PATH" : line.name;
}

}  // namespace

long EnvironmentOperation::change(OperationContext& context, bool remove) {
    const bool user = context.run.perUserPart;
    const RegistryRoot root = user ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
    const std::string key = user ? kUserEnvironment : kMachineEnvironment;
    const std::string name = valueName(line_);
    RegistryServices& registry = context.registry;

    std::string list;
    std::uint32_t type = platform::kRegSz;
    const long read = registry.readString(root, key, name, &list, &type);
    if (read != platform::kErrorSuccess && read != platform::kErrorFileNotFound) return read;
    std::string edited = list;
    for (const std::string& item : line_.items) {
        edited = remove ? listWithout(edited, item, kSemicolonList)
                        : listWith(edited, item, kSemicolonList);
    }
    if (edited == list) return platform::kErrorSuccess;
    if (listEmpty(edited, kSemicolonList)) {
        if (const long error = registry.deleteValue(root, key, name)) return error;
        // A root made without Wine has no environment key until we make one.
        if (registry.isEmptyKey(root, key)) (void)registry.deleteKey(root, key);
        return platform::kErrorSuccess;
    }
    if (const long error = registry.createKey(root, key)) return error;
    return registry.setValue(root, key, name, type, edited + '\0');
}

bool EnvironmentOperation::install(OperationContext& context) {
    const long error = change(context, line_.deletes());
    if (error == platform::kErrorSuccess) return true;
    return context.messages.show(messages::kCannotCreateKey, {valueName(line_), error}) ==
           buttons::kIgnore;
}

bool EnvironmentOperation::uninstall(OperationContext& context) {
    // What is gone already, or cannot go, is no reason to stop an uninstallation.
    if (!line_.deletes()) (void)change(context, true);
    return true;
}

}  // namespace kestrel::setup
