#include "ContextNames.h"

#include <array>
#include <utility>

#include "ClassCodes.h"

namespace kestrel::classic {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string normalizePrefixes(std::string text) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kPrefixes{
        {{"ou=", "OU="}, {"o=", "O="}, {"l=", "L="}, {"s=", "S="}, {"c=", "C="}}};
    for (const auto& [lower, upper] : kPrefixes) {
        for (std::size_t at = text.find(lower); at != std::string::npos;
             at = text.find(lower, at + upper.size()))
            text.replace(at, lower.size(), upper);
    }
    return text;
}

bool hasContextPrefix(std::string_view text) {
    return hasCommandLinePrefix(text) || startsWith(text, "S=");
}

bool hasCommandLinePrefix(std::string_view text) {
    for (std::string_view prefix : {kRootName, std::string_view("C="), std::string_view("L="),
                                    std::string_view("O="), std::string_view("OU=")})
        if (startsWith(text, prefix)) return true;
    return false;
}

std::string commandLineStartContext(std::string_view commandLine) {
    auto slash = commandLine.find('/');
    if (slash == std::string_view::npos) return std::string(commandLine);
    return std::string(commandLine.substr(0, slash == 0 ? 0 : slash - 1));
}

std::string parentContext(std::string_view context) {
    auto stop = context.find('.');
    return stop == std::string_view::npos ? std::string(kRootName)
                                          : std::string(context.substr(stop + 1));
}

int topItemImage(std::string_view context) {
    if (startsWith(context, kRootName)) return kRootImage;
    if (startsWith(context, "C=")) return classCode("Country");
    if (startsWith(context, "O=")) return classCode("Organization");
    if (startsWith(context, "OU=")) return classCode("Organizational Unit");
    // Localities and states have no image of their own at the top; the locality's fits.
    if (startsWith(context, "L=") || startsWith(context, "S=")) return classCode("Locality");
    return kUnknownImage;
}

}  // namespace kestrel::classic
