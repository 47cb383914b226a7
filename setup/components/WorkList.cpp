#include "components/WorkList.h"

#include <vector>

#include "components/WorkSection.h"
#include "messages/MessageStrings.h"
#include "script/RunState.h"

namespace kestrel::setup {

namespace {

bool isSelected(const Component& component) {
    return component.selected;
}

}  // namespace

bool WorkList::install() {
    return allHaveWork(0, isSelected) && walkWithLinks(isSelected, Direction::Install);
}

bool WorkList::uninstall() {
    return allHaveWork(0, isSelected) && walkWithLinks(isSelected, Direction::Uninstall);
}

bool WorkList::maintain() {
    const Filter added = [](const Component& c) { return c.selected && !c.installed; };
    const Filter removed = [](const Component& c) { return !c.selected && c.installed; };
    return allHaveWork(0, added) && allHaveWork(0, removed) &&
           walkWithLinks(added, Direction::Install) && walkWithLinks(removed, Direction::Uninstall);
}

bool WorkList::walkWithLinks(const Filter& which, Direction direction) {
    worked_.clear();
    const bool walked =
        direction == Direction::Install ? installWalk(0, which) : uninstallWalk(0, which);
    if (!walked) return false;
    if (links_ && !links_(worked_, direction)) return fail();
    return true;
}

// A component without a section of its own needs children to stand for it. The whole list is
// checked before anything is done, so a script that lacks a section fails (5529) without
// leaving the work of the components before it half installed.
bool WorkList::allHaveWork(int index, const Filter& which) {
    const Component& component = list_[index];
    if (index != 0 && which(component) && component.firstChild == kNoComponent &&
        !workSectionOf(context_.script, component)) {
        context_.messages.show(messages::kSectionNotFound, {component.name});
        return fail();
    }
    for (int child : list_.children(index))
        if (!allHaveWork(child, which)) return false;
    return true;
}

bool WorkList::installWalk(int index, const Filter& which) {
    if (index != 0 && which(list_[index]) && !work(index, Direction::Install)) return false;
    for (int child : list_.children(index))
        if (!installWalk(child, which)) return false;
    return true;
}

bool WorkList::uninstallWalk(int index, const Filter& which) {
    const std::vector<int> children = list_.children(index);
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        if (!uninstallWalk(*child, which)) return false;
    return index == 0 || !which(list_[index]) || work(index, Direction::Uninstall);
}

bool WorkList::ask(int event, const Component& component) const {
    return !hook_ || hook_(event, component);
}

bool WorkList::fail() {
    context_.run.abort = true;
    return false;
}

bool WorkList::work(int index, Direction direction) {
    const Component& component = list_[index];
    setOptionVariables(context_.variables, component);
    if (!ask(kHookBeforeComponent, component)) return true;
    const std::optional<std::string> section = workSectionOf(context_.script, component);
    if (section && !sections_(*section, direction)) return fail();
    worked_.push_back(component.name);
    record(component, direction);
    if (direction == Direction::Uninstall && !(context_.run.extraFlags & extra::kNoEndMessage) &&
        !context_.run.workstation)
        removeUserKey(component);
    ask(kHookAfterComponent, component);
    return true;
}

// The record is bookkeeping beside the component's work: one that cannot be written stops
// nothing, as with the section usage counts.
void WorkList::record(const Component& component, Direction direction) {
    const std::string& machineKey = context_.settings.machineKeyName;
    // A command-list run installs nothing, so it has nothing to record either.
    if (machineKey.empty() || context_.run.admin || context_.run.commandList ||
        context_.settings.serviceRelease)
        return;
    const platform::RegistryRoot root = context_.run.perUserPart
                                            ? platform::RegistryRoot::CurrentUser
                                            : platform::RegistryRoot::LocalMachine;
    const std::string key = "Software\\" + machineKey + "\\Setup\\Options";
    if (direction == Direction::Install) {
        (void)context_.registry.writeString(root, key, component.name, "1");
    } else {
        (void)context_.registry.deleteValue(root, key, component.name);
    }
}

void WorkList::removeUserKey(const Component& component) {
    const Expander expander = context_.expander();
    std::string name =
        expander.expand(context_.script.readValue("UserKeyNames", component.name).value_or(""));
    if (name.empty() && context_.settings.userKeyName.find("%Option") != std::string::npos)
        name = expander.expand(context_.settings.userKeyName);
    if (name.empty()) return;
    (void)context_.registry.removeEmptyKeys(platform::RegistryRoot::CurrentUser,
                                            "Software\\" + name);
}

}  // namespace kestrel::setup
