#include "window/TreeModel.h"

#include <algorithm>
#include <iterator>

#include "platform/AsciiCase.h"

namespace kestrel::browser {

bool sortsBefore(std::string_view a, std::string_view b) {
    // Bytes compare as unsigned, so that names beyond ASCII sort alike on every platform.
    auto folded = [](char x, char y) {
        return static_cast<unsigned char>(platform::asciiLower(x)) <
               static_cast<unsigned char>(platform::asciiLower(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
    return a < b;
}

void TreeModel::clear() {
    selected_ = nullptr;
    top_.reset();
    if (observer_ != nullptr) observer_->treeReset(nullptr);
}

TreeItem& TreeModel::reset(std::string text, int image) {
    selected_ = nullptr;
    top_ = std::make_unique<TreeItem>(std::move(text), image, nullptr);
    if (observer_ != nullptr) observer_->treeReset(top_.get());
    return *top_;
}

void TreeModel::insertSorted(TreeItem& parent, const std::vector<ListEntry>& entries) {
    if (entries.empty()) return;
    using Item = std::unique_ptr<TreeItem>;
    auto before = [](const Item& a, const Item& b) { return sortsBefore(a->text(), b->text()); };

    std::vector<Item> added;
    added.reserve(entries.size());
    for (const auto& entry : entries)
        added.push_back(std::make_unique<TreeItem>(entry.name, entry.classCode, &parent));
    std::stable_sort(added.begin(), added.end(), before);

    // Among equal texts the children already there came first.
    std::vector<Item> merged;
    merged.reserve(parent.children_.size() + added.size());
    std::merge(std::make_move_iterator(parent.children_.begin()),
               std::make_move_iterator(parent.children_.end()),
               std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()),
               std::back_inserter(merged), before);
    parent.children_ = std::move(merged);
    if (observer_ != nullptr) observer_->childrenInserted(parent);
}

void TreeModel::expand(TreeItem& item) {
    item.expanded_ = true;
    if (observer_ != nullptr) observer_->itemExpanded(item);
}

void TreeModel::select(TreeItem* item) {
    if (item == selected_) return;
    selected_ = item;
    if (observer_ != nullptr) observer_->selectionChanged(item);
}

}  // namespace kestrel::browser
