#include "script/StringSections.h"

#include <cstdio>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kLineSize = 8192;

}  // namespace

std::string chooseStringSection(const ScriptText& script, std::string_view base,
                                std::optional<platform::LanguageId> language,
                                std::string_view overrideName) {
    if (language) {
        char name[300];
        std::snprintf(name, sizeof name, "%.*s:%02x,%02x",
                      static_cast<int>(std::min<std::size_t>(base.size(), 256)), base.data(),
                      language->primary(), language->sub());
        if (script.hasSection(name)) return name;
        std::snprintf(name, sizeof name, "%.*s:%02x",
                      static_cast<int>(std::min<std::size_t>(base.size(), 256)), base.data(),
                      language->primary());
        if (script.hasSection(name)) return name;
    }
    if (!overrideName.empty()) return std::string(overrideName);
    return std::string(base);
}

bool loadStringSection(const ScriptText& script, std::string_view section, const Expander& expander,
                       Environment& environment) {
    for (const ScriptLine& line : script.sectionLines(section, kLineSize)) {
        const std::size_t equals = line.text.find('=');
        if (equals == std::string::npos) continue;
        const std::string name =
            platform::asciiUpper(trimBlanks(std::string_view(line.text).substr(0, equals)));
        if (name.empty()) continue;
        const std::string value =
            expander.expand(trimBlanks(std::string_view(line.text).substr(equals + 1)));
        if (!environment.set(name, value)) return false;
    }
    return true;
}

}  // namespace kestrel::setup
