#include "ops/RegistryLine.h"

#include <vector>

#include "platform/AsciiCase.h"
#include "platform/RegistryValue.h"
#include "script/Fields.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

namespace {

constexpr std::size_t kFieldSize = kMaxRegistryData + 1;

void appendLimited(std::string& data, std::string_view bytes) {
    if (data.size() >= kMaxRegistryData) return;
    data.append(bytes.substr(0, kMaxRegistryData - data.size()));
}

// Binary data: a quoted field gives its characters (and a zero unless `terminate` is off),
// any other field one hexadecimal byte.
std::string binaryData(const std::vector<Field>& fields, bool terminate, const Expander& expander) {
    std::string data;
    for (const Field& field : fields) {
        if (data.size() >= kMaxRegistryData) break;
        if (field.quoted) {
            appendLimited(data, expander.expand(field.text));
            if (terminate) appendLimited(data, std::string_view("\0", 1));
        } else {
            appendLimited(
                data,
                std::string(1, static_cast<char>(readHex(expander.expand(field.text)) & 0xFF)));
        }
    }
    return data;
}

// Strings separated by fields (and by tabs within a field), each with its zero, and one
// more zero closing the list.
std::string multiStringData(const std::vector<Field>& fields, const Expander& expander) {
    std::string data;
    for (const Field& field : fields) {
        std::string text = expander.expand(field.text);
        for (char& c : text) c = c == '\t' ? '\0' : c;
        appendLimited(data, text);
        appendLimited(data, std::string_view("\0", 1));
    }
    appendLimited(data, std::string_view("\0", 1));
    return data;
}

std::vector<Field> readFields(std::string_view text) {
    std::vector<Field> fields;
    FieldReader reader(text);
    while (auto field = reader.next(kFieldSize)) fields.push_back(std::move(*field));
    return fields;
}

std::string stringData(std::string_view text, const Expander& expander) {
    std::string data = expander.expand(text);
    data.resize(std::min(data.size(), kMaxRegistryData - 1));
    data += '\0';
    return data;
}

std::optional<RegistryEntry> parsePathForm(std::string_view line, bool deletion,
                                           const Expander& expander) {
    const std::size_t backslash = line.substr(0, 81).find('\\');
    if (backslash == std::string_view::npos) return std::nullopt;
    const auto root = registryRootOfName(line.substr(0, backslash));
    if (!root) return std::nullopt;
    RegistryEntry entry;
    entry.deletion = deletion;
    entry.root = *root;
    std::string_view rest = line.substr(backslash + 1);
    std::optional<std::string_view> data;
    if (const std::size_t equals = rest.find('='); equals != std::string_view::npos) {
        data = rest.substr(equals + 1);
        rest = rest.substr(0, equals);
    }
    std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos && colon + 1 < rest.size() && rest[colon + 1] == ':')
        ++colon;
    // A doubled colon keeps its first colon in the key path and splits at the second.
    entry.key = expander.expand(rest.substr(0, colon));
    if (colon != std::string_view::npos) {
        entry.valueName = expander.expand(rest.substr(colon + 1));
        entry.hasValueName = !entry.valueName.empty();
    }
    if (!data) return entry;
    std::string_view text = *data;
    entry.hasData = !text.empty();
    if (platform::startsWithIgnoreAsciiCase(text, "hexsz:")) {
        entry.data = binaryData(readFields(text.substr(6)), false, expander);
    } else if (platform::startsWithIgnoreAsciiCase(text, "hex:")) {
        entry.type = platform::kRegBinary;
        entry.data = binaryData(readFields(text.substr(4)), true, expander);
    } else if (platform::startsWithIgnoreAsciiCase(text, "multisz:")) {
        entry.type = platform::kRegMultiSz;
        entry.data = multiStringData(readFields(text.substr(8)), expander);
    } else if (platform::startsWithIgnoreAsciiCase(text, "expandsz:")) {
        entry.type = platform::kRegExpandSz;
        entry.data = stringData(text.substr(9), expander);
    } else if (platform::startsWithIgnoreAsciiCase(text, "dword:")) {
        entry.type = platform::kRegDword;
        entry.data = platform::RegistryValue::dword(readHex(expander.expand(text.substr(6)))).data;
    } else {
        // `""` is the way to write an empty string.
        entry.data = stringData(text == "\"\"" ? std::string_view() : text, expander);
    }
    return entry;
}

std::uint32_t typeOfFlags(std::uint32_t flags) {
    switch (flags & 0xFFFF0001u) {
        case 0x0:
            return platform::kRegSz;
        case 0x1:
            return platform::kRegBinary;
        case 0x10000:
            return platform::kRegMultiSz;
        case 0x20000:
            return platform::kRegExpandSz;
        case 0x10001:
            return platform::kRegDword;
        case 0x20001:
            return platform::kRegNone;
        default:
            return (flags & 1) ? platform::kRegBinary : platform::kRegSz;
    }
}

std::optional<RegistryEntry> parseFieldForm(std::string_view line, bool deletion,
                                            const Expander& expander) {
    std::vector<Field> fields = readFields(line);
    if (fields.empty()) return std::nullopt;
    const auto root = registryRootOfName(trimBlanks(fields[0].text));
    if (!root) return std::nullopt;
    fields.resize(std::max<std::size_t>(fields.size(), 4));
    RegistryEntry entry;
    entry.root = *root;
    entry.key = expander.expand(fields[1].text);
    entry.valueName = expander.expand(fields[2].text);
    entry.hasValueName = !entry.valueName.empty();
    const std::uint32_t flags = readDecimalOrHex(fields[3].text);
    entry.deletion = deletion || (flags & 0x4) != 0;
    entry.type = typeOfFlags(flags);
    const std::vector<Field> data(fields.begin() + 4, fields.end());
    entry.hasData = !data.empty() && (data[0].quoted || !data[0].text.empty());
    switch (entry.type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
            entry.data = stringData(data.empty() ? std::string_view() : data[0].text, expander);
            break;
        case platform::kRegMultiSz:
            entry.data = multiStringData(data, expander);
            break;
        case platform::kRegDword:
            entry.data = platform::RegistryValue::dword(
                             readDecimalOrHex(data.empty() ? "" : expander.expand(data[0].text)))
                             .data;
            break;
        default:
            entry.data = binaryData(data, true, expander);
    }
    return entry;
}

}  // namespace

std::optional<RegistryEntry> parseRegistryLine(std::string_view line, const Expander& expander) {
    line = trimBlanks(line);
    const bool deletion = !line.empty() && line[0] == '-';
    if (deletion) line.remove_prefix(1);
    if (auto entry = parsePathForm(line, deletion, expander)) return entry;
    return parseFieldForm(line, deletion, expander);
}

}  // namespace kestrel::setup
