#include "ops/IniLine.h"

#include <vector>

#include "ops/StartupLine.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

// An entry of the quoted form, key=value.
void readEntry(const std::string& entry, IniEntry& line) {
    const std::size_t equals = entry.find('=');
    line.key = trimBlanks(std::string_view(entry).substr(0, equals));
    if (equals != std::string::npos)
        line.value = trimBlanks(std::string_view(entry).substr(equals + 1));
}

std::optional<IniEntry> readQuotedLine(std::string_view text, const Expander& expander) {
    std::vector<Field> fields;
    FieldReader reader(text);
    while (fields.size() < 4) {
        auto field = reader.next();
        if (!field) break;
        fields.push_back(std::move(*field));
    }
    fields.resize(4);
    const std::string oldEntry = expander.expand(fields[2].text);
    const std::string newEntry = expander.expand(fields[3].text);
    if (oldEntry.find('=') == std::string::npos && newEntry.find('=') == std::string::npos) {
        return std::nullopt;
    }
    IniEntry line;
    line.file = trimBlanks(expander.expand(fields[0].text));
    line.section = trimBlanks(expander.expand(fields[1].text));
    line.deletion = !trimBlanks(oldEntry).empty();
    readEntry(line.deletion ? oldEntry : newEntry, line);
    return line;
}

}  // namespace

std::optional<IniEntry> readIniLine(std::string_view text, const Expander& expander) {
    text = lineText(text);
    if (text.empty() || isSectionKeyLine(text, {"Caption", "Path"})) return std::nullopt;
    const bool deletion = text.starts_with('-');
    if (deletion) text = trimBlanks(text.substr(1));
    if (text.starts_with('"') || text.starts_with('\'')) {
        if (auto quoted = readQuotedLine(text, expander)) {
            quoted->deletion = quoted->deletion || deletion;
            return quoted;
        }
    }
    IniEntry line;
    line.deletion = deletion;
    FieldReader reader(text);
    if (auto section = reader.next()) line.section = trimBlanks(expander.expand(section->text));
    if (auto key = reader.next()) line.key = trimBlanks(expander.expand(key->text));
    line.value = trimBlanks(expander.expand(trimBlanks(reader.rest())));
    return line;
}

}  // namespace kestrel::setup
