// The texts of an item's children, in the tree's order.
#pragma once

#include <string>
#include <vector>

#include "window/TreeModel.h"

namespace kestrel::browser::test {

using Texts = std::vector<std::string>;

inline Texts childTexts(const TreeItem& item) {
    Texts texts;
    for (std::size_t i = 0; i < item.childCount(); ++i) texts.push_back(item.child(i).text());
    return texts;
}

}  // namespace kestrel::browser::test
