#include "script/Fields.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/PercentReferences.h"
#include "script/ScriptText.h"

namespace kestrel::setup {

FieldReader::FieldReader(std::string_view text) : text_(text) {
    // A line end ends the last field.
    text_ = text_.substr(0, text_.find_first_of("\r\n"));
}

std::optional<Field> FieldReader::next(std::size_t size) {
    while (!text_.empty() && isBlank(text_.front())) text_.remove_prefix(1);
    if (text_.empty()) return std::nullopt;
    const std::size_t limit = std::max<std::size_t>(size, 1) - 1;
    Field field;
    const char first = text_.front();
    std::size_t pos = 0;
    if (first == '"' || first == '\'') {
        field.quoted = true;
        pos = 1;
        while (pos < text_.size()) {
            if (text_[pos] == first) {
                if (pos + 1 < text_.size() && text_[pos + 1] == first) {
                    field.text += first;
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            field.text += text_[pos++];
        }
    }
    const std::size_t comma = text_.find(',', pos);
    if (!field.quoted) field.text = std::string(text_.substr(0, comma));
    text_ = comma == std::string_view::npos ? std::string_view() : text_.substr(comma + 1);
    if (field.text.size() > limit) field.text.resize(limit);
    return field;
}

std::vector<std::string> splitFields(std::string_view text, std::size_t size) {
    std::vector<std::string> fields;
    FieldReader reader(text);
    while (auto field = reader.next(size)) fields.push_back(std::move(field->text));
    return fields;
}

std::int32_t readNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    std::uint32_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

std::uint32_t readHex(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    if (pos + 1 < text.size() && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X') && pos + 2 < text.size() &&
        platform::hexDigitValue(text[pos + 2]) >= 0) {
        pos += 2;
    }
    std::uint32_t value = 0;
    for (; pos < text.size() && platform::hexDigitValue(text[pos]) >= 0; ++pos) {
        value = value * 16u + static_cast<std::uint32_t>(platform::hexDigitValue(text[pos]));
    }
    return value;
}

std::uint32_t readDecimalOrHex(std::string_view text) {
    const std::string_view trimmed = trimBlanks(text);
    if (trimmed.size() > 1 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X')) {
        return readHex(trimmed);
    }
    return static_cast<std::uint32_t>(readNumber(trimmed));
}

FlagReading readFlags(std::string_view text, const std::vector<FlagName>& table,
                      std::string_view separators) {
    FlagReading flags;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of(separators, pos), text.size());
        const std::string_view word = trimBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        if (word.empty()) continue;
        if (word[0] >= '0' && word[0] <= '9') {
            flags.value |= readDecimalOrHex(word);
            continue;
        }
        const auto known = std::ranges::find_if(table, [word](const FlagName& flag) {
            return platform::equalsIgnoreAsciiCase(flag.name, word);
        });
        if (known != table.end()) {
            flags.value |= known->value;
        } else if (flags.unknown.empty()) {
            flags.unknown = std::string(word);
        }
    }
    return flags;
}

platform::Expected<std::uint32_t, std::string> parseFlags(std::string_view text,
                                                          const std::vector<FlagName>& table,
                                                          std::string_view separators) {
    FlagReading flags = readFlags(text, table, separators);
    if (!flags.unknown.empty()) return platform::unexpected(std::move(flags.unknown));
    return flags.value;
}

std::string unescapeText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += "\r\n";
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace kestrel::setup
