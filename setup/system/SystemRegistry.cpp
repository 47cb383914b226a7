#include "system/SystemRegistry.h"

#include <cstdlib>

namespace kestrel::setup {

namespace {

long writeData(RegistryServices& registry, platform::RegistryRoot root, std::string_view key,
               std::string_view name, std::uint32_t type, std::string_view data) {
    const long created = registry.createKey(root, key);
    if (created != 0) return created;
    return registry.setValue(root, key, name, type, data);
}

}  // namespace

long writeDword(RegistryServices& registry, platform::RegistryRoot root, std::string_view key,
                std::string_view name, std::uint32_t value) {
    std::string data(4, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>((value >> (8 * i)) & 0xffu);
    }
    return writeData(registry, root, key, name, platform::kRegDword, data);
}

std::optional<std::uint32_t> readDword(const RegistryServices& registry,
                                       platform::RegistryRoot root, std::string_view key,
                                       std::string_view name) {
    const std::optional<std::string> text = readString(registry, root, key, name);
    if (!text) return std::nullopt;
    return static_cast<std::uint32_t>(std::strtoul(text->c_str(), nullptr, 10));
}

long writeMultiString(RegistryServices& registry, platform::RegistryRoot root, std::string_view key,
                      std::string_view name, const std::vector<std::string>& strings) {
    std::string data;
    for (const std::string& text : strings) data += text + '\0';
    data += '\0';
    return writeData(registry, root, key, name, platform::kRegMultiSz, data);
}

std::vector<std::string> readMultiString(const RegistryServices& registry,
                                         platform::RegistryRoot root, std::string_view key,
                                         std::string_view name) {
    std::vector<std::string> strings;
    const std::optional<std::string> text = readString(registry, root, key, name);
    if (!text || text->empty()) return strings;
    // readText puts tabs between the strings of a list.
    std::size_t start = 0;
    while (start <= text->size()) {
        const std::size_t tab = std::min(text->find('\t', start), text->size());
        if (tab > start) strings.push_back(text->substr(start, tab - start));
        start = tab + 1;
    }
    return strings;
}

std::optional<std::string> readString(const RegistryServices& registry, platform::RegistryRoot root,
                                      std::string_view key, std::string_view name) {
    std::string text;
    if (registry.readText(root, key, name, &text, 8192) != 0) return std::nullopt;
    return text;
}

}  // namespace kestrel::setup
