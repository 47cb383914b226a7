// The tree of the main window without any widget: one top item, children kept in ascending
// order of their text, one selected item. A view follows it through TreeObserver.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "directory/CNDSAccess.h"

namespace kestrel::browser {

class TreeItem {
  public:
    TreeItem(std::string text, int image, TreeItem* parent)
        : text_(std::move(text)), image_(image), parent_(parent) {}
    TreeItem(const TreeItem&) = delete;
    TreeItem& operator=(const TreeItem&) = delete;

    const std::string& text() const { return text_; }
    int image() const { return image_; }
    TreeItem* parent() const { return parent_; }
    std::size_t childCount() const { return children_.size(); }
    TreeItem& child(std::size_t index) const { return *children_[index]; }
    // Set when the program expanded the item; the person may collapse it again in the view.
    bool expanded() const { return expanded_; }

  private:
    friend class TreeModel;

    std::string text_;
    int image_;
    TreeItem* parent_;
    std::vector<std::unique_ptr<TreeItem>> children_;
    bool expanded_ = false;
};

class TreeObserver {
  public:
    virtual ~TreeObserver() = default;
    // Every item was deleted; `top` is the new top item, or null for an empty tree.
    virtual void treeReset(const TreeItem* top) = 0;
    // Children were added to `parent`; its child list is the new, complete order.
    virtual void childrenInserted(const TreeItem& parent) = 0;
    virtual void itemExpanded(const TreeItem& item) = 0;
    virtual void selectionChanged(const TreeItem* item) = 0;
};

// The order of children: ascending text, letters compared without regard to case as the
// tree control of the original platform sorts; texts equal but for case by their bytes.
bool sortsBefore(std::string_view a, std::string_view b);

class TreeModel {
  public:
    void setObserver(TreeObserver* observer) { observer_ = observer; }

    // Deletes every item.
    void clear();
    // Deletes every item and inserts the top item.
    TreeItem& reset(std::string text, int image);
    TreeItem* top() const { return top_.get(); }

    // Inserts one child per entry (text and image from the entry) as sorted insertion one by
    // one would: children stay in ascending order, equal texts in the order they arrived.
    void insertSorted(TreeItem& parent, const std::vector<ListEntry>& entries);
    void expand(TreeItem& item);

    // `item` must be an item of this tree, or null.
    void select(TreeItem* item);
    TreeItem* selected() const { return selected_; }

  private:
    std::unique_ptr<TreeItem> top_;
    TreeItem* selected_ = nullptr;
    TreeObserver* observer_ = nullptr;
};

}  // namespace kestrel::browser
