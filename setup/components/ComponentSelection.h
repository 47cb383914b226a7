#pragma once

#include <string_view>
#include <vector>

#include "components/ComponentList.h"
#include "script/RunState.h"

namespace kestrel::setup {

// Switches a component on or off, with everything that goes with it: on selects its
// dependencies and those of its ancestors first; off deselects whatever depends on it; then
// its children follow it (last to first), and switching on a group member switches the
// other members among its siblings off. Dependencies that lead round in a circle end where
// they meet a component already being switched.
void setSelected(ComponentList& list, int index, bool on);

enum class CheckState { Unchecked, Checked, Partly };
// Checked when the component and every child offered to the person (recursively) are
// selected; partly when it is selected and such a child is not; else unchecked.
CheckState checkState(const ComponentList& list, int index);

// Full selects every component, Standard those with DEFAULT or COPYALWAYS; Custom keeps the
// selection; HIDDEN components keep theirs in every mode. Then, as after the first
// selection, dependencies come along and each group keeps one member.
void applyMode(ComponentList& list, SetupMode mode);

// The /O list: items of a sign and a name running to the next "+" or "-"; "+" selects, any
// other sign deselects (names without case, unknown ones skipped). After each item the
// ancestors of a component with a selected child are marked selected.
void applyOptionsPreset(ComponentList& list, std::string_view preset);

// Marks every component that has a selected child as selected (without its dependencies).
void markParentsOfSelected(ComponentList& list);

// After the first selection: the dependencies of the selected components come along, and
// each group keeps at most one selected member (its first), a kind-1 group whose parent is
// selected at least one.
void settleDependenciesAndGroups(ComponentList& list);

// Members of the component's group among its siblings, itself included.
std::vector<int> groupSiblings(const ComponentList& list, int index);

}  // namespace kestrel::setup
