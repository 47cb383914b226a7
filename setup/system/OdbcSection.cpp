#include "system/OdbcSection.h"

#include <array>

#include "ops/StartupLine.h"
#include "platform/AsciiCase.h"
#include "platform/WindowsPathText.h"

namespace kestrel::setup {

namespace {

struct OdbcSectionKind {
    std::string_view section;
    OdbcKind kind;
};

constexpr std::array<OdbcSectionKind, 6> kKinds{{
    {"ODBC Core", OdbcKind::Core},
    {"ODBC Driver", OdbcKind::Driver},
    {"ODBC Translator", OdbcKind::Translator},
    {"ODBC DSN", OdbcKind::UserDsn},
    {"ODBC System DSN", OdbcKind::SystemDsn},
    {"ODBC File DSN", OdbcKind::FileDsn},
}};

}  // namespace

std::optional<OdbcKind> odbcKindOf(std::string_view section) {
    const std::string_view kind = section.substr(0, section.find(':'));
    for (const OdbcSectionKind& known : kKinds) {
        if (platform::equalsIgnoreAsciiCase(kind, known.section)) return known.kind;
    }
    return std::nullopt;
}

platform::Expected<OdbcAttributes, std::string> readOdbcAttributes(
    const std::vector<ScriptLine>& lines, const Expander& expander) {
    OdbcAttributes attributes;
    for (const ScriptLine& line : lines) {
        const std::string_view text = lineText(line.text);
        if (text.empty() || isSectionKeyLine(text, {"Caption"})) continue;
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) return platform::unexpected(std::string(text));
        attributes.emplace_back(
            std::string(platform::trimBlanks(expander.expand(text.substr(0, equals)))),
            std::string(platform::trimBlanks(expander.expand(text.substr(equals + 1)))));
    }
    return attributes;
}

std::string odbcAttribute(const OdbcAttributes& attributes, std::string_view key) {
    for (const auto& [name, value] : attributes) {
        if (platform::equalsIgnoreAsciiCase(name, key)) return value;
    }
    return {};
}

}  // namespace kestrel::setup
