#include "window/TreeNames.h"

#include <array>

#include "window/TreeImages.h"
#include "window/TreeModel.h"

namespace kestrel::browser {

namespace {

bool beginsWithAny(std::string_view text, std::initializer_list<std::string_view> prefixes) {
    for (auto prefix : prefixes)
        if (text.starts_with(prefix)) return true;
    return false;
}

}  // namespace

bool isContainerText(std::string_view text) {
    return beginsWithAny(text, {kRootName, "C=", "O=", "OU=", "S=", "L="});
}

int topItemImage(std::string_view text, bool authenticated) {
    if (!authenticated) return kImageUnknown;
    static constexpr std::array<std::pair<std::string_view, int>, 6> kImages{{
        {kRootName, kImageRoot},
        {"C=", kImageCountry},
        {"O=", kImageOrganization},
        {"OU=", kImageOrganizationalUnit},
        {"L=", kImageLocality},
        {"S=", kImageLocality},
    }};
    for (const auto& [prefix, image] : kImages)
        if (text.starts_with(prefix)) return image;
    return kImageUnknown;
}

std::string parentContext(std::string_view context) {
    auto dot = context.find('.');
    return std::string(dot == std::string_view::npos ? kRootName : context.substr(dot + 1));
}

std::string containerName(const TreeItem& item, std::string_view currentStartContext) {
    std::string name = item.text();
    for (const TreeItem* ancestor = item.parent(); ancestor != nullptr;
         ancestor = ancestor->parent()) {
        if (ancestor->text() == kRootName) break;
        name += '.';
        name += ancestor->text();
        if (ancestor->text() == currentStartContext) break;
    }
    return name;
}

std::string typedFullName(const TreeItem& item) {
    std::string name = item.text();
    if (item.parent() != nullptr && !beginsWithAny(name, {"OU=", "O=", "L=", "S=", "C="}))
        name = "CN=" + name;
    for (const TreeItem* ancestor = item.parent(); ancestor != nullptr;
         ancestor = ancestor->parent()) {
        if (ancestor->text() == kRootName) continue;
        name += '.';
        name += ancestor->text();
    }
    return name;
}

std::string typelessName(std::string_view typedName) {
    // The markers with their full stop come first, so that a prefix in the middle of the
    // name takes its separator along and the full stop is put back once.
    static constexpr std::array<std::string_view, 12> kMarkers{
        ".CN=", ".OU=", "CN=", "OU=", ".O=", ".L=", ".S=", ".C=", "O=", "L=", "S=", "C="};
    std::string name(typedName);
    for (;;) {
        std::size_t at = std::string::npos;
        std::string_view marker;
        for (auto candidate : kMarkers) {
            at = name.find(candidate);
            if (at != std::string::npos) {
                marker = candidate;
                break;
            }
        }
        // Every prefix the name still holds is one of the markers, so none found means done.
        if (at == std::string::npos) return name;
        std::string right = name.substr(at + marker.size());
        name.resize(at);
        if (!name.empty()) name += '.';
        name += right;
    }
}

}  // namespace kestrel::browser
