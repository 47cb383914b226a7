#include "platform/Wow64Registry.h"

#include <algorithm>
#include <vector>

#include "platform/AsciiCase.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kWow64Node = "Wow6432Node";

bool redirectedClassesKey(std::string_view name) {
    static constexpr std::string_view kRedirected[] = {"CLSID", "DirectShow", "Interface",
                                                       "Media Type", "MediaFoundation"};
    return std::ranges::any_of(
        kRedirected, [&](std::string_view key) { return equalsIgnoreAsciiCase(key, name); });
}

// The components with Wow6432Node put in before component `at`.
std::string redirectedAt(const std::vector<std::string>& components, std::size_t at) {
    std::string path;
    for (std::size_t i = 0; i <= components.size(); ++i) {
        if (i == at) path += std::string(path.empty() ? "" : "\\") + std::string(kWow64Node);
        if (i == components.size()) break;
        path += (path.empty() ? "" : "\\") + components[i];
    }
    return path;
}

}  // namespace

RegistryLocation redirectFor32BitProgram(RegistryRoot root, std::string_view path) {
    const std::vector<std::string> components = registryKeyComponents(path);
    const auto named = [&](std::size_t index, std::string_view name) {
        return components.size() > index && equalsIgnoreAsciiCase(components[index], name);
    };
    // The classes key's own subkeys start at component `first`.
    const auto classes = [&](std::size_t first) -> RegistryLocation {
        if (components.size() > first && redirectedClassesKey(components[first]))
            return {root, redirectedAt(components, first)};
        return {root, std::string(path)};
    };
    if (root == RegistryRoot::ClassesRoot) return classes(0);
    if (root != RegistryRoot::LocalMachine || !named(0, "Software") || components.size() < 2 ||
        named(1, kWow64Node)) {
        return {root, std::string(path)};
    }
    if (named(1, "Classes")) return classes(2);
    return {root, redirectedAt(components, 1)};
}

}  // namespace kestrel::platform
