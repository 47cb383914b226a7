#include "ops/RegistryOperation.h"

#include "messages/MessageStrings.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

using platform::RegistryRoot;

bool RegistryOperation::acts(const OperationContext& context) const {
    const bool userRoot = entry_.root == RegistryRoot::CurrentUser;
    if (context.run.workstation && userRoot) return false;
    if (context.run.perUserPart && !userRoot && !machineWide_) return false;
    return true;
}

bool RegistryOperation::reportCreateError(OperationContext& context, long error) {
    if (!context.settings.warnRegistry) return true;
    const std::string& name = entry_.hasValueName ? entry_.valueName : entry_.key;
    return context.messages.show(messages::kCannotCreateKey, {name, error}) == buttons::kIgnore;
}

bool RegistryOperation::create(OperationContext& context) {
    RegistryServices& registry = context.registry;
    if (const long error = registry.createKey(entry_.root, entry_.key)) {
        return reportCreateError(context, error);
    }
    if (!entry_.hasValueName && !entry_.hasData) return true;
    const long error =
        registry.setValue(entry_.root, entry_.key, entry_.valueName, entry_.type, entry_.data);
    return error == 0 || reportCreateError(context, error);
}

bool RegistryOperation::install(OperationContext& context) {
    if (!acts(context)) return true;
    if (!entry_.deletion) return create(context);
    // A deletion line is never reported: what it would delete may well be gone already.
    if (entry_.hasValueName) {
        (void)context.registry.deleteValue(entry_.root, entry_.key, entry_.valueName);
    } else {
        (void)context.registry.deleteTree(entry_.root, entry_.key);
    }
    return true;
}

bool RegistryOperation::uninstall(OperationContext& context) {
    if (entry_.deletion || !acts(context)) return true;
    // Uninstallation takes away what it can and never reports: a value or key already gone,
    // or kept by another program, is no failure.
    RegistryServices& registry = context.registry;
    if (entry_.hasValueName) {
        if (registry.deleteValue(entry_.root, entry_.key, entry_.valueName) == 0) {
            (void)registry.removeEmptyKeys(entry_.root, entry_.key);
        }
        return true;
    }
    // A key another program has filled with subkeys only loses its default value.
    if (registry.hasSubkeys(entry_.root, entry_.key)) {
        (void)registry.deleteValue(entry_.root, entry_.key, "");
    } else if (registry.deleteKey(entry_.root, entry_.key) == 0) {
        (void)registry.removeEmptyKeys(entry_.root, platform::parentRegistryKey(entry_.key));
    }
    return true;
}

}  // namespace kestrel::setup
