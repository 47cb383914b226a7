#include "Directory.h"

namespace nw {

const std::vector<int>& Tree::children(int index) const {
    return index == kRootIndex ? rootChildren_ : object(index).children;
}

std::optional<int> Tree::find(const AbsoluteName& name) const {
    if (name.isRoot()) return kRootIndex;
    auto it = byKey_.find(name.key());
    if (it == byKey_.end()) return std::nullopt;
    return it->second;
}

bool Tree::isWithin(int index, int ancestor) const {
    if (ancestor == kRootIndex) return true;
    const auto& target = object(ancestor);
    while (index != kRootIndex) {
        const auto& current = object(index);
        if (index == ancestor) return true;
        if (current.depth <= target.depth) return false;
        index = current.parent;
    }
    return false;
}

bool Tree::add(DirectoryObject object, const std::string& key) {
    auto [it, inserted] = byKey_.emplace(key, static_cast<int>(objects_.size()));
    if (!inserted) return false;
    objects_.push_back(std::move(object));
    return true;
}

int Tree::link() {
    for (std::size_t i = 0; i < objects_.size(); ++i) {
        auto& object = objects_[i];
        auto parts = splitStoredName(object.name);
        object.depth = static_cast<std::uint32_t>(parts.size());
        if (parts.size() == 1) {
            object.parent = kRootIndex;
            rootChildren_.push_back(static_cast<int>(i));
            continue;
        }
        std::string_view name = object.name;
        std::string containerKey = asciiLower(name.substr(parts[0].size() + 1));
        auto it = byKey_.find(containerKey);
        if (it == byKey_.end()) return static_cast<int>(i);
        object.parent = it->second;
        objects_[static_cast<std::size_t>(it->second)].children.push_back(static_cast<int>(i));
    }
    return -1;
}

const Tree* Directory::findTree(std::string_view name) const {
    int index = treeIndex(name);
    return index < 0 ? nullptr : &trees_[static_cast<std::size_t>(index)];
}

int Directory::treeIndex(std::string_view name) const {
    for (std::size_t i = 0; i < trees_.size(); ++i)
        if (equalsIgnoreAsciiCase(trees_[i].name(), name)) return static_cast<int>(i);
    return -1;
}

}  // namespace nw
