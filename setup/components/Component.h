#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::setup {

// Component flags as scripts write them ([Options], [Copy]).
namespace componentflag {
inline constexpr std::uint32_t kNormal = 0;
inline constexpr std::uint32_t kDefault = 1;     // part of the Standard mode
inline constexpr std::uint32_t kWildcard = 2;    // may use the section [%Option%]
inline constexpr std::uint32_t kCopyAlways = 4;  // always installed, not offered ([Copy])
inline constexpr std::uint32_t kHidden = 8;      // not shown; modes leave it alone
}  // namespace componentflag

// Index of no component (tree links, group, icon).
inline constexpr int kNoComponent = -1;

// One component of the product's tree. Index 0 of a ComponentList is the unnamed root.
struct Component {
    std::string name;  // full name, levels separated by backslashes; also its work section
    std::string text;
    std::string description;
    std::uint32_t flags = componentflag::kNormal;
    int icon = kNoComponent;   // index of the [Icons] entry
    std::int64_t ownSize = 0;  // bytes of its own work section
    std::int64_t size = 0;     // with its children's (see ComponentSizes)
    int parent = kNoComponent, firstChild = kNoComponent, lastChild = kNoComponent;
    int nextSibling = kNoComponent, previousSibling = kNoComponent;
    int level = 0;
    int group = kNoComponent;  // exclusive group, numbered by its line
    int groupKind = 0;         // 1: one member stays selected; 0: at most one is
    bool selected = false;
    bool savedSelection = false;    // kept by the Details page and by maintenance
    bool installed = false;         // recorded as installed (and the root)
    std::vector<int> dependencies;  // selected together with this one

    bool has(std::uint32_t flag) const { return (flags & flag) != 0; }
    // Offered to the person: neither always installed nor hidden.
    bool optional() const { return !has(componentflag::kCopyAlways | componentflag::kHidden); }
    // The last part of the name ("Viewer" of "Tools\Viewer").
    std::string lastName() const;
};

}  // namespace kestrel::setup
