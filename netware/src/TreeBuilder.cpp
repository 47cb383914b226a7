#include "TreeBuilder.h"

namespace nw {

TreeBuilder::Added TreeBuilder::add(std::string key, std::optional<std::uint32_t>* container) {
    auto parts = splitStoredName(key);
    const std::size_t leaf = parts[0].size();
    container->reset();
    if (parts.size() > 1) {
        auto parent = index_.byKey.find(key.substr(leaf + 1));
        if (parent == index_.byKey.end()) return Added::NoContainer;
        *container = parent->second;
    }
    auto [it, inserted] = index_.byKey.emplace(std::move(key), size());
    if (!inserted) return Added::Duplicate;
    keys_.push_back(&it->first);
    appendNumber(index_.componentStarts, static_cast<std::uint32_t>(index_.components.size()));
    const std::string_view component = std::string_view(it->first).substr(0, leaf);
    postTrigrams(index_.trigrams, component, it->second);
    index_.components.append(component);
    index_.components.push_back('\0');
    return Added::Taken;
}

void TreeBuilder::post(const std::string& posting, std::uint32_t index) {
    std::string& list = index_.postings[posting];
    // "Object Class" may name a class twice; an index is posted once.
    if (list.size() >= 4 && numberAt(list, list.size() - 4) == index) return;
    appendNumber(list, index);
}

void TreeBuilder::link() {
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
            // Found: add() took every object only after its container.
            auto it = index_.byKey.find(std::string(key.substr(parts[0].size() + 1)));
            parentSlot = it->second + 1;
            setLink(parentSlot - 1, 2, numberAt(index_.links, it->second * kLinkBytes + 8) + 1);
        }
        setLink(i, 0, parentSlot);
        appendNumber(index_.children[parentSlot], i);
    }
}

}  // namespace nw
