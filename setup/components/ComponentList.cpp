#include "components/ComponentList.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

std::string Component::lastName() const {
    return std::string(platform::fileNamePart(name));
}

std::string_view parentName(std::string_view name) {
    return platform::directoryPart(name);
}

ComponentList::ComponentList() {
    Component root;
    root.selected = true;
    root.installed = true;
    items_.push_back(std::move(root));
}

std::optional<int> ComponentList::add(Component component) {
    const std::string_view parentText = parentName(component.name);
    const std::optional<int> parent = parentText.empty() ? std::optional<int>(0) : find(parentText);
    if (!parent) return std::nullopt;
    const int index = size();
    component.parent = *parent;
    component.level = static_cast<int>(std::ranges::count(component.name, '\\')) + 1;
    component.firstChild = component.lastChild = kNoComponent;
    component.nextSibling = kNoComponent;
    Component& up = (*this)[*parent];
    component.previousSibling = up.lastChild;
    if (up.lastChild != kNoComponent) (*this)[up.lastChild].nextSibling = index;
    if (up.firstChild == kNoComponent) up.firstChild = index;
    up.lastChild = index;
    items_.push_back(std::move(component));
    return index;
}

std::optional<int> ComponentList::find(std::string_view name) const {
    for (int i = 1; i < size(); ++i)
        if (platform::equalsIgnoreAsciiCase((*this)[i].name, name)) return i;
    return std::nullopt;
}

std::vector<int> ComponentList::children(int index) const {
    std::vector<int> result;
    for (int child = (*this)[index].firstChild; child != kNoComponent;
         child = (*this)[child].nextSibling)
        result.push_back(child);
    return result;
}

std::vector<int> ComponentList::ancestors(int index) const {
    std::vector<int> result;
    for (int up = (*this)[index].parent; up > 0; up = (*this)[up].parent) result.push_back(up);
    return result;
}

std::vector<int> ComponentList::treeOrder() const {
    std::vector<int> order;
    appendTree(0, order);
    return order;
}

void ComponentList::appendTree(int index, std::vector<int>& order) const {
    for (int child : children(index)) {
        order.push_back(child);
        appendTree(child, order);
    }
}

}  // namespace kestrel::setup
