#include "Directory.h"

#include <algorithm>

namespace nw {

namespace {

constexpr std::uint32_t kMaxDepthSteps = 256;  // a name has at most 256 characters

}  // namespace

std::string baseClassPosting(std::string_view className) {
    return "c:" + asciiLower(className);
}

std::string objectClassPosting(std::string_view className) {
    return "o:" + asciiLower(className);
}

ObjectView Tree::object(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= size()) return ObjectView();
    return ObjectView(records_->object(static_cast<std::uint32_t>(index)));
}

ObjectView Tree::head(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= size()) return ObjectView();
    return ObjectView(records_->head(static_cast<std::uint32_t>(index)));
}

std::uint32_t Tree::link(int index, std::size_t field) const {
    return numberAt(records_->links(), static_cast<std::size_t>(index) * kLinkBytes + 4 * field);
}

int Tree::parent(int index) const {
    return index == kRootIndex ? kRootIndex : static_cast<int>(link(index, 0)) - 1;
}

std::uint32_t Tree::depth(int index) const {
    return index == kRootIndex ? 0 : link(index, 1);
}

std::uint32_t Tree::childCount(int index) const {
    return index == kRootIndex ? static_cast<std::uint32_t>(children(kRootIndex).size())
                               : link(index, 2);
}

NumberArray Tree::children(int index) const {
    return NumberArray(records_->children(static_cast<std::uint32_t>(index + 1)));
}

std::optional<int> Tree::find(const AbsoluteName& name) const {
    if (name.isRoot()) return kRootIndex;
    auto index = records_->find(name.key());
    if (!index) return std::nullopt;
    return static_cast<int>(*index);
}

bool Tree::isWithin(int index, int ancestor) const {
    if (ancestor == kRootIndex) return true;
    std::uint32_t floor = depth(ancestor);
    // Parents of a well-formed tree are shallower; the depth bound also ends a damaged chain.
    for (std::uint32_t steps = 0; index != kRootIndex && steps <= kMaxDepthSteps; ++steps) {
        if (index == ancestor) return true;
        if (depth(index) <= floor) return false;
        index = parent(index);
    }
    return false;
}

NumberArray Tree::withPosting(std::string_view key) const {
    return NumberArray(records_->postings(key));
}

std::vector<std::uint32_t> Tree::namedLike(std::string_view lowerText) const {
    if (lowerText.empty()) return {};
    std::vector<std::uint32_t> found = componentsContaining(*records_, lowerText);
    std::vector<int> containers;
    for (std::uint32_t index : found)
        if (childCount(static_cast<int>(index)) > 0) containers.push_back(static_cast<int>(index));
    // Everything below a matching container matches too: its name contains the component.
    while (!containers.empty()) {
        int container = containers.back();
        containers.pop_back();
        NumberArray below = children(container);
        for (std::size_t i = 0; i < below.size(); ++i) {
            found.push_back(below[i]);
            if (childCount(static_cast<int>(below[i])) > 0)
                containers.push_back(static_cast<int>(below[i]));
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
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
