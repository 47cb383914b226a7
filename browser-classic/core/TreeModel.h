// The items of the main window's tree, without any widget: texts, images, the parent and
// child links and the expanded state. Children are kept in the order of their texts as a
// sorted tree control keeps them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::classic {

using ItemId = std::uint32_t;
inline constexpr ItemId kNoItem = 0;

struct TreeEntry {
    std::string text;
    int image = 0;
};

class TreeModel {
  public:
    TreeModel();

    // Removes every item; ids are never handed out twice, so stale ids stay harmless.
    void clear();

    // Inserts among the children of `parent` (kNoItem: the top level) in text order;
    // an item equal to others goes after them.
    ItemId insertSorted(ItemId parent, TreeEntry entry);
    // The same for many entries at once, in their order.
    void insertSorted(ItemId parent, const std::vector<TreeEntry>& entries);

    // Copies `source` with everything below it under `newParent` (sorted), then deletes
    // `source`. Returns the copy.
    ItemId moveSubtree(ItemId source, ItemId newParent);

    bool contains(ItemId item) const;
    const std::string& text(ItemId item) const { return node(item).entry.text; }
    int image(ItemId item) const { return node(item).entry.image; }
    ItemId parent(ItemId item) const { return node(item).parent; }
    const std::vector<ItemId>& children(ItemId item) const { return node(item).children; }
    bool expanded(ItemId item) const { return node(item).expanded; }
    void setExpanded(ItemId item, bool expanded);

    // True when `ancestor` lies on the way from `item` up to the top.
    bool isAncestor(ItemId ancestor, ItemId item) const;
    std::size_t size() const { return count_; }
    ItemId top() const;  // the first top-level item, kNoItem when empty

  private:
    struct Node {
        TreeEntry entry;
        ItemId parent = kNoItem;
        std::vector<ItemId> children;
        bool expanded = false;
        bool alive = false;
    };

    const Node& node(ItemId item) const;
    Node& node(ItemId item);
    ItemId create(ItemId parent, TreeEntry entry);
    void sortChildren(ItemId parent, std::size_t sortedPrefix);
    ItemId copyBelow(ItemId source, ItemId newParent);
    void remove(ItemId item);

    std::vector<Node> nodes_;  // index = id; index 0 is the invisible root
    std::size_t count_ = 0;
};

}  // namespace kestrel::classic
