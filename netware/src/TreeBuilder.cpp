#include "TreeBuilder.h"

namespace nw {

bool TreeBuilder::add(std::string key, std::string_view name) {
    auto [it, inserted] = index_.byKey.emplace(std::move(key), size());
    if (!inserted) return false;
    std::string_view stored = it->first;
    auto parts = splitStoredName(stored);
    if (parts.size() > 1 &&
        index_.byKey.count(std::string(stored.substr(parts[0].size() + 1))) == 0)
        unlinked_.emplace(size(), name);
    keys_.push_back(&it->first);
    appendNumber(index_.componentStarts, static_cast<std::uint32_t>(index_.components.size()));
    postTrigrams(index_.trigrams, parts[0], it->second);
    index_.components.append(stored.substr(0, parts[0].size()));
    index_.components.push_back('\0');
    return true;
}

std::string TreeBuilder::unlinkedName(std::uint32_t index) const {
    auto it = unlinked_.find(index);
    return it == unlinked_.end() ? std::string() : it->second;
}

void TreeBuilder::post(const std::string& posting, std::uint32_t index) {
    std::string& list = index_.postings[posting];
    // "Object Class" may name a class twice; an index is posted once.
    if (list.size() >= 4 && numberAt(list, list.size() - 4) == index) return;
    appendNumber(list, index);
}

long TreeBuilder::link() {
    index_.links.assign(static_cast<std::size_t>(size()) * kLinkBytes, '\0');
    index_.children.assign(static_cast<std::size_t>(size()) + 1, std::string());
    auto setLink = [this](std::uint32_t index, std::size_t field, std::uint32_t value) {
        std::memcpy(index_.links.data() + index * kLinkBytes + 4 * field, &value, 4);
    };
    for (std::uint32_t i = 0; i < size(); ++i) {
        std::string_view key = *keys_[i];
        auto parts = splitStoredName(key);
        setLink(i, 1, static_cast<std::uint32_t>(parts.size()));
        std::uint32_t parentSlot = 0;
        if (parts.size() > 1) {
            auto it = index_.byKey.find(std::string(key.substr(parts[0].size() + 1)));
            if (it == index_.byKey.end()) return static_cast<long>(i);
            parentSlot = it->second + 1;
            setLink(parentSlot - 1, 2, numberAt(index_.links, it->second * kLinkBytes + 8) + 1);
        }
        setLink(i, 0, parentSlot);
        appendNumber(index_.children[parentSlot], i);
    }
    return -1;
}

}  // namespace nw
