#include "components/ComponentSelection.h"

#include <algorithm>
#include <ranges>

namespace kestrel::setup {

namespace {

class Switcher {
  public:
    explicit Switcher(ComponentList& list) : list_(list), busy_(list.size(), false) {}

    void set(int index, bool on) {
        Component& component = list_[index];
        if (component.selected == on || busy_[index]) return;
        busy_[index] = true;  // a dependency circle coming back here stops
        if (on) {
            for (int dependency : list_[index].dependencies) set(dependency, true);
            for (int ancestor : list_.ancestors(index))
                for (int dependency : list_[ancestor].dependencies) set(dependency, true);
        } else {
            for (int other = 1; other < list_.size(); ++other)
                if (std::ranges::find(list_[other].dependencies, index) !=
                    list_[other].dependencies.end())
                    set(other, false);
        }
        list_[index].selected = on;
        const std::vector<int> children = list_.children(index);
        for (auto child = children.rbegin(); child != children.rend(); ++child) set(*child, on);
        if (on && list_[index].group != kNoComponent)
            for (int member : groupSiblings(list_, index))
                if (member != index) set(member, false);
        busy_[index] = false;
    }

  private:
    ComponentList& list_;
    std::vector<bool> busy_;
};

bool fullyChecked(const ComponentList& list, int index) {
    if (!list[index].selected) return false;
    return std::ranges::all_of(list.children(index), [&list](int child) {
        return !list[child].optional() || fullyChecked(list, child);
    });
}

}  // namespace

void setSelected(ComponentList& list, int index, bool on) {
    Switcher(list).set(index, on);
}

CheckState checkState(const ComponentList& list, int index) {
    if (!list[index].selected) return CheckState::Unchecked;
    return fullyChecked(list, index) ? CheckState::Checked : CheckState::Partly;
}

std::vector<int> groupSiblings(const ComponentList& list, int index) {
    std::vector<int> members;
    const int group = list[index].group;
    if (group == kNoComponent) return members;
    for (int sibling : list.children(list[index].parent))
        if (list[sibling].group == group) members.push_back(sibling);
    return members;
}

void applyMode(ComponentList& list, SetupMode mode) {
    if (mode == SetupMode::Custom) return;
    for (int i = 1; i < list.size(); ++i) {
        Component& component = list[i];
        if (component.has(componentflag::kHidden)) continue;
        component.selected = mode == SetupMode::Full ||
                             component.has(componentflag::kDefault | componentflag::kCopyAlways);
    }
    list[0].selected = true;
    // A mode chooses components, not rules: what they depend on comes along, and of a
    // group's alternatives one is installed, never all.
    settleDependenciesAndGroups(list);
}

void markParentsOfSelected(ComponentList& list) {
    for (int i = 1; i < list.size(); ++i)
        if (list[i].selected)
            for (int ancestor : list.ancestors(i)) list[ancestor].selected = true;
}

void applyOptionsPreset(ComponentList& list, std::string_view preset) {
    while (!preset.empty()) {
        const bool on = preset.front() == '+';
        preset.remove_prefix(1);
        const std::size_t end = preset.find_first_of("+-");
        const std::string_view name = preset.substr(0, end);
        preset.remove_prefix(end == std::string_view::npos ? preset.size() : end);
        if (const std::optional<int> index = list.find(name)) setSelected(list, *index, on);
        markParentsOfSelected(list);
    }
}

void settleDependenciesAndGroups(ComponentList& list) {
    for (int i = 1; i < list.size(); ++i)
        if (list[i].selected)
            for (int dependency : list[i].dependencies) setSelected(list, dependency, true);
    std::vector<bool> settled(list.size(), false);
    for (int i = 1; i < list.size(); ++i) {
        if (list[i].group == kNoComponent || settled[i]) continue;
        const std::vector<int> members = groupSiblings(list, i);
        for (int member : members) settled[member] = true;
        const auto first =
            std::ranges::find_if(members, [&list](int m) { return list[m].selected; });
        if (first != members.end()) {
            for (int member : members)
                if (member != *first) setSelected(list, member, false);
        } else if (list[i].groupKind == 1 && list[list[i].parent].selected) {
            setSelected(list, members.front(), true);
        }
    }
}

}  // namespace kestrel::setup
