// The widget-free tree: sorted children and moving whole subtrees.
#include <gtest/gtest.h>

#include "TreeModel.h"

namespace kestrel::classic {
namespace {

std::vector<std::string> texts(const TreeModel& tree, ItemId parent) {
    std::vector<std::string> out;
    for (ItemId child : tree.children(parent)) out.push_back(tree.text(child));
    return out;
}

TEST(TreeModel, ChildrenSortByTextWithoutRegardToCase) {
    TreeModel tree;
    ItemId top = tree.insertSorted(kNoItem, {"O=Acme", 2});
    tree.insertSorted(top, {{"CN=PC1", 16}, {"OU=Sales", 3}, {"CN=NB1", 16}, {"cn=ab", 16}});
    tree.insertSorted(top, {"CN=MM", 16});
    EXPECT_EQ(texts(tree, top),
              (std::vector<std::string>{"cn=ab", "CN=MM", "CN=NB1", "CN=PC1", "OU=Sales"}));
    EXPECT_EQ(tree.size(), 6u);
    EXPECT_EQ(tree.top(), top);
}

TEST(TreeModel, MovingCopiesTheSubtreeSortedAndDeletesTheOriginal) {
    TreeModel tree;
    ItemId top = tree.insertSorted(kNoItem, {"[Root]", 0});
    ItemId acme = tree.insertSorted(top, {"O=Acme", 2});
    ItemId sales = tree.insertSorted(acme, {"OU=Sales", 3});
    ItemId east = tree.insertSorted(sales, {"OU=East", 3});
    tree.insertSorted(east, {{"CN=WS21", 16}, {"CN=WS20", 16}});
    ItemId it = tree.insertSorted(acme, {"OU=IT", 3});
    tree.insertSorted(it, {"CN=IT01", 16});
    std::size_t before = tree.size();

    ItemId moved = tree.moveSubtree(east, it);
    EXPECT_FALSE(tree.contains(east));
    EXPECT_EQ(tree.parent(moved), it);
    EXPECT_EQ(texts(tree, it), (std::vector<std::string>{"CN=IT01", "OU=East"}));
    EXPECT_EQ(texts(tree, moved), (std::vector<std::string>{"CN=WS20", "CN=WS21"}));
    EXPECT_TRUE(tree.children(sales).empty());
    EXPECT_EQ(tree.size(), before);
    EXPECT_TRUE(tree.isAncestor(acme, tree.children(moved).front()));
    EXPECT_THROW(tree.moveSubtree(acme, moved), std::invalid_argument);
}

TEST(TreeModel, ClearNeverReusesIds) {
    TreeModel tree;
    ItemId first = tree.insertSorted(kNoItem, {"O=Acme", 2});
    tree.clear();
    EXPECT_FALSE(tree.contains(first));
    ItemId second = tree.insertSorted(kNoItem, {"O=Acme", 2});
    EXPECT_NE(first, second);
    EXPECT_EQ(tree.size(), 1u);
}

}  // namespace
}  // namespace kestrel::classic
