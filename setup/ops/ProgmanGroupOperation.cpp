#include "ops/ProgmanGroupOperation.h"

#include "messages/MessageStrings.h"
#include "ops/LinkTarget.h"
#include "ops/ProgmanCommands.h"

namespace kestrel::setup {

bool ProgmanGroupOperation::applies(const OperationContext& context, const LinkEntry& entry) const {
    return linkApplies(entry.scope, context.run, context.settings.commonShellLinks);
}

bool ProgmanGroupOperation::send(OperationContext& context, const std::string& command,
                                 bool installing) {
    const auto done = services_.execute(command);
    if (done) return true;
    if (!installing && done.error().kind == platform::ProgramManagerError::Kind::NotFound) {
        return true;
    }
    return context.messages.show(messages::kCannotExecuteDde, {command}) == buttons::kIgnore;
}

bool ProgmanGroupOperation::addItem(OperationContext& context, const ProgmanGroupWork::Item& item) {
    const LinkTarget target =
        resolveLinkTarget(item.entry, context.registry.machine(), services_.findProgram());
    if (target.hasDirectoryPart && !target.found) return true;
    ProgmanItem record{target.target,
                       item.entry.arguments,
                       item.name,
                       target.iconFile,
                       item.entry.iconIndex.value_or(0),
                       target.workingDirectory,
                       item.entry.hotKey,
                       item.entry.showCommand == 7u};
    return send(context, replaceItemCommand(item.name), true) &&
           send(context, addItemCommand(record), true);
}

bool ProgmanGroupOperation::install(OperationContext& context) {
    if (!work_.groupValue.empty()) {
        if (!send(context, createGroupCommand(work_.groupValue), true)) return false;
        if (!context.run.silent &&
            !send(context, showGroupCommand(groupNameOf(work_.groupValue)), true)) {
            return false;
        }
    }
    for (const ProgmanGroupWork::Item& item : work_.items) {
        if (applies(context, item.entry) && !addItem(context, item)) return false;
    }
    return true;
}

bool ProgmanGroupOperation::uninstall(OperationContext& context) {
    const std::string group = groupNameOf(work_.groupValue);
    if (!group.empty() && !send(context, showGroupCommand(group), false)) return false;
    for (auto item = work_.items.rbegin(); item != work_.items.rend(); ++item) {
        if (applies(context, item->entry) && !send(context, deleteItemCommand(item->name), false)) {
            return false;
        }
    }
    if (group.empty() || isSystemGroup(group) || context.run.maintenance ||
        !services_.programManager().groupIsEmpty(group)) {
        return true;
    }
    return send(context, showGroupCommand(group), false) &&
           send(context, deleteGroupCommand(group), false);
}

}  // namespace kestrel::setup
