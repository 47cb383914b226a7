#include "TreeModel.h"

#include <algorithm>
#include <stdexcept>

#include "platform/AsciiCase.h"

namespace kestrel::classic {

namespace {

// Sorted tree controls compare texts without regard to case.
bool textBefore(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(platform::asciiLower(x)) <
               static_cast<unsigned char>(platform::asciiLower(y));
    });
}

}  // namespace

TreeModel::TreeModel() {
    clear();
}

void TreeModel::clear() {
    // Ids keep counting so that an id held by a caller never names a new item.
    std::size_t next = nodes_.size();
    for (auto& n : nodes_) n = Node{};
    nodes_.resize(std::max<std::size_t>(next, 1));
    nodes_[kNoItem].alive = true;
    nodes_[kNoItem].expanded = true;
    count_ = 0;
}

const TreeModel::Node& TreeModel::node(ItemId item) const {
    if (!contains(item) && item != kNoItem) throw std::out_of_range("no such tree item");
    return nodes_[item];
}

TreeModel::Node& TreeModel::node(ItemId item) {
    return const_cast<Node&>(static_cast<const TreeModel*>(this)->node(item));
}

bool TreeModel::contains(ItemId item) const {
    return item != kNoItem && item < nodes_.size() && nodes_[item].alive;
}

ItemId TreeModel::create(ItemId parent, TreeEntry entry) {
    auto id = static_cast<ItemId>(nodes_.size());
    Node created;
    created.entry = std::move(entry);
    created.parent = parent;
    created.alive = true;
    nodes_.push_back(std::move(created));
    ++count_;
    return id;
}

void TreeModel::sortChildren(ItemId parent, std::size_t sortedPrefix) {
    // The existing children are sorted and the new ones follow in arrival order: a stable
    // sort gives what inserting them one by one gives.
    auto& children = nodes_[parent].children;
    auto before = [this](ItemId a, ItemId b) {
        return textBefore(nodes_[a].entry.text, nodes_[b].entry.text);
    };
    std::stable_sort(children.begin() + static_cast<std::ptrdiff_t>(sortedPrefix), children.end(),
                     before);
    std::inplace_merge(children.begin(),
                       children.begin() + static_cast<std::ptrdiff_t>(sortedPrefix), children.end(),
                       before);
}

ItemId TreeModel::insertSorted(ItemId parent, TreeEntry entry) {
    node(parent);
    std::size_t existing = nodes_[parent].children.size();
    ItemId id = create(parent, std::move(entry));
    nodes_[parent].children.push_back(id);
    sortChildren(parent, existing);
    return id;
}

void TreeModel::insertSorted(ItemId parent, const std::vector<TreeEntry>& entries) {
    node(parent);
    std::size_t existing = nodes_[parent].children.size();
    for (const auto& entry : entries) {
        ItemId id = create(parent, entry);
        nodes_[parent].children.push_back(id);
    }
    sortChildren(parent, existing);
}

ItemId TreeModel::copyBelow(ItemId source, ItemId newParent) {
    ItemId copy = insertSorted(newParent, nodes_[source].entry);
    // Below the copied item the order is already right: children are appended as they are.
    // Indexes, not references: creating items may move the nodes.
    std::vector<std::pair<ItemId, ItemId>> pending{{source, copy}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        for (std::size_t i = 0; i < nodes_[from].children.size(); ++i) {
            ItemId child = nodes_[from].children[i];
            ItemId childCopy = create(to, nodes_[child].entry);
            nodes_[to].children.push_back(childCopy);
            pending.emplace_back(child, childCopy);
        }
    }
    return copy;
}

ItemId TreeModel::moveSubtree(ItemId source, ItemId newParent) {
    node(source);
    node(newParent);
    if (source == newParent || isAncestor(source, newParent))
        throw std::invalid_argument("an item cannot move below itself");
    ItemId copy = copyBelow(source, newParent);
    remove(source);
    return copy;
}

void TreeModel::remove(ItemId item) {
    Node& gone = node(item);
    auto& siblings = nodes_[gone.parent].children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), item));
    std::vector<ItemId> pending{item};
    while (!pending.empty()) {
        ItemId next = pending.back();
        pending.pop_back();
        Node& n = nodes_[next];
        pending.insert(pending.end(), n.children.begin(), n.children.end());
        n = Node{};
        --count_;
    }
}

void TreeModel::setExpanded(ItemId item, bool expanded) {
    node(item).expanded = expanded;
}

bool TreeModel::isAncestor(ItemId ancestor, ItemId item) const {
    for (ItemId up = node(item).parent; up != kNoItem; up = nodes_[up].parent)
        if (up == ancestor) return true;
    return false;
}

ItemId TreeModel::top() const {
    const auto& tops = nodes_[kNoItem].children;
    return tops.empty() ? kNoItem : tops.front();
}

}  // namespace kestrel::classic
