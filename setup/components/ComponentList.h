#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "components/Component.h"

namespace kestrel::setup {

// The product's components as one tree kept in an array: index 0 is the unnamed root whose
// children are the top-level components; every other component hangs below the one its name
// names as parent, in the order it was added.
class ComponentList {
  public:
    ComponentList();

    // Adds a component below its parent (the name up to the last backslash, which must be
    // there already); nullopt when the parent is missing.
    std::optional<int> add(Component component);

    // Without regard to case; nullopt for an unknown name.
    std::optional<int> find(std::string_view name) const;

    int size() const { return static_cast<int>(items_.size()); }
    Component& operator[](int index) { return items_[static_cast<std::size_t>(index)]; }
    const Component& operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }

    // Children in their order.
    std::vector<int> children(int index) const;
    // Parent, grandparent... up to (not including) the root.
    std::vector<int> ancestors(int index) const;
    // Every component in the order parent before children, children first to last (the
    // root not included).
    std::vector<int> treeOrder() const;

  private:
    void appendTree(int index, std::vector<int>& order) const;

    std::vector<Component> items_;
};

// The parent's name of a full name: what stands before the last backslash ("" for a
// top-level component).
std::string_view parentName(std::string_view name);

}  // namespace kestrel::setup
