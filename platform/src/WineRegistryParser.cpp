#include <cstdint>
#include <optional>
#include <string>

#include "platform/PercentReferences.h"
#include "platform/WideText.h"
#include "platform/WineRegistryFile.h"

namespace kestrel::platform {

namespace {

constexpr std::string_view kVersionLine = "WINE REGISTRY Version 2";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

class HiveParser {
  public:
    HiveParser(std::string_view text, const std::string& fileName)
        : text_(text), fileName_(fileName) {}

    Expected<RegistryHive, ParseError> parse();

  private:
    bool nextLine();
    Unexpected<ParseError> fail(std::size_t column, std::string message) const {
        return unexpected(ParseError{fileName_, lineNumber_, column + 1, std::move(message)});
    }

    bool parseText(std::size_t& pos, char endChar, std::u16string& out);
    bool parseKeyHeader();
    bool parseValue();
    bool parseHexData(std::size_t pos, std::string& out);
    bool parseOption();
    // Keeps the current line verbatim where it stands; a non-empty message is a warning.
    void keep(std::string message);
    void warn(std::string message);
    std::string_view verbatimEntry() const {
        return text_.substr(entryStart_, lineEnd_ - entryStart_);
    }

    std::string_view text_;
    const std::string& fileName_;
    std::size_t offset_ = 0;
    std::size_t lineNumber_ = 0;
    std::string_view line_;       // the current line from its first non-blank character
    std::size_t entryStart_ = 0;  // where the current entry (with its continuation lines) starts
    std::size_t lineEnd_ = 0;     // where the current line ends, without its line break
    std::size_t indent_ = 0;
    RegistryHive hive_;
    RegistryKey* key_ = nullptr;
    std::size_t errorColumn_ = 0;
    std::string error_;
    std::optional<std::string> unreadValue_;  // the name of a value whose data could not be read
    bool cutOffByTheEnd_ = false;             // its data continued past the end of the file
};

// The next line without its line break (LF, CR LF or more CRs); false at the end of the text.
bool HiveParser::nextLine() {
    if (offset_ >= text_.size()) return false;
    std::size_t end = text_.find('\n', offset_);
    if (end == std::string_view::npos) end = text_.size();
    line_ = text_.substr(offset_, end - offset_);
    // Every CR before the LF is part of the line break: the file is written with LF alone,
    // and a CR kept at a line's end would be taken as its break when read again.
    while (!line_.empty() && line_.back() == '\r') line_.remove_suffix(1);
    lineEnd_ = offset_ + line_.size();
    offset_ = end + 1;
    ++lineNumber_;
    return true;
}

// Reads an escaped text starting at pos up to the unescaped endChar, leaving pos behind
// it. Bytes above 127 are UTF-8 (a byte that is not valid UTF-8 stands for itself).
bool HiveParser::parseText(std::size_t& pos, char endChar, std::u16string& out) {
    std::string raw;  // literal bytes, decoded as UTF-8 in one go when an escape or the end comes
    const auto flush = [&] {
        out += utf8ToUtf16(raw);
        raw.clear();
    };
    while (pos < line_.size()) {
        const char c = line_[pos];
        if (c == endChar) {
            flush();
            ++pos;
            return true;
        }
        if (c != '\\') {
            raw += c;
            ++pos;
            continue;
        }
        flush();
        if (++pos >= line_.size()) break;
        const char e = line_[pos++];
        switch (e) {
            case 'a':
                out += u'\a';
                break;
            case 'b':
                out += u'\b';
                break;
            case 'e':
                out += u'\x1b';
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'v':
                out += u'\v';
                break;
            case 'x': {
                unsigned unit = 0;
                int digits = 0;
                while (digits < 4 && pos < line_.size() && hexDigitValue(line_[pos]) >= 0) {
                    unit = unit * 16 + static_cast<unsigned>(hexDigitValue(line_[pos++]));
                    ++digits;
                }
                out += digits == 0 ? u'x' : static_cast<char16_t>(unit);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned unit = static_cast<unsigned>(e - '0');
                    for (int digits = 1;
                         digits < 3 && pos < line_.size() && line_[pos] >= '0' && line_[pos] <= '7';
                         ++digits) {
                        unit = unit * 8 + static_cast<unsigned>(line_[pos++] - '0');
                    }
                    out += static_cast<char16_t>(unit);
                } else {
                    raw += e;
                }
        }
    }
    errorColumn_ = line_.size();
    error_ = std::string("missing closing '") + endChar + "'";
    return false;
}

bool HiveParser::parseKeyHeader() {
    std::size_t pos = 1;
    std::u16string path;
    if (!parseText(pos, ']', path)) return false;
    RegistryKey* key = &hive_.root;
    std::u16string name;
    const auto descend = [&] {
        if (!name.empty()) key = &key->ensureSubkey(utf16ToUtf8(name));
        name.clear();
    };
    for (const char16_t unit : path) {
        if (unit == u'\\') {
            descend();
        } else {
            name += unit;
        }
    }
    descend();
    key_ = key;
    while (pos < line_.size() && (line_[pos] == ' ' || line_[pos] == '\t')) ++pos;
    std::uint64_t seconds = 0;
    bool haveSeconds = false;
    while (pos < line_.size() && line_[pos] >= '0' && line_[pos] <= '9') {
        seconds = seconds * 10 + static_cast<std::uint64_t>(line_[pos++] - '0');
        haveSeconds = true;
    }
    if (haveSeconds) key_->seconds = seconds;
    return true;
}

// Comma-separated hexadecimal bytes; a line ending in a backslash continues on the next.
bool HiveParser::parseHexData(std::size_t pos, std::string& out) {
    for (;;) {
        while (pos < line_.size() && (line_[pos] == ' ' || line_[pos] == '\t')) ++pos;
        if (pos >= line_.size()) return true;
        if (line_[pos] == '\\') {
            // Only a backslash that ends the line continues the data; one inside the line
            // would silently drop the rest of it.
            if (line_.find_first_not_of(" \t", pos + 1) != std::string_view::npos) {
                errorColumn_ = pos;
                error_ = "text after the line continuation";
                return false;
            }
            if (!nextLine()) {
                errorColumn_ = 0;
                error_ = "hexadecimal data continues past the end of the file";
                cutOffByTheEnd_ = true;
                return false;
            }
            pos = 0;
            continue;
        }
        int high = hexDigitValue(line_[pos]);
        if (high < 0) {
            errorColumn_ = pos;
            error_ = "expected a hexadecimal byte";
            return false;
        }
        ++pos;
        int byte = high;
        if (pos < line_.size() && hexDigitValue(line_[pos]) >= 0)
            byte = byte * 16 + hexDigitValue(line_[pos++]);
        out += static_cast<char>(byte);
        while (pos < line_.size() && (line_[pos] == ' ' || line_[pos] == '\t')) ++pos;
        if (pos < line_.size() && line_[pos] == ',') {
            ++pos;
        } else if (pos < line_.size() && line_[pos] != '\\') {
            errorColumn_ = pos;
            error_ = "expected ',' between hexadecimal bytes";
            return false;
        }
    }
}

bool HiveParser::parseValue() {
    unreadValue_.reset();
    cutOffByTheEnd_ = false;
    std::size_t pos = 0;
    std::u16string name;
    if (line_[0] == '@') {
        pos = 1;
    } else {
        pos = 1;
        if (!parseText(pos, '"', name)) return false;
    }
    if (pos >= line_.size() || line_[pos] != '=') {
        errorColumn_ = pos;
        error_ = "expected '=' after the value name";
        return false;
    }
    ++pos;
    unreadValue_ = utf16ToUtf8(name);
    const std::string_view data = line_.substr(pos);
    RegistryValue value;
    std::size_t textStart = std::string_view::npos;
    if (startsWith(data, "\"")) {
        value.type = kRegSz;
        textStart = pos + 1;
    } else if (startsWith(data, "str:\"")) {
        value.type = kRegSz;
        textStart = pos + 5;
    } else if (startsWith(data, "str(") || startsWith(data, "hex(")) {
        const std::size_t close = data.find(')');
        std::uint32_t type = 0;
        bool valid = close != std::string_view::npos && close > 4 && close <= 12;
        for (std::size_t i = 4; valid && i < close; ++i) {
            valid = hexDigitValue(data[i]) >= 0;
            if (valid) type = type * 16 + static_cast<std::uint32_t>(hexDigitValue(data[i]));
        }
        const bool isString = data[0] == 's';
        if (!valid || data.substr(close + 1, isString ? 2 : 1) != (isString ? ":\"" : ":")) {
            errorColumn_ = pos;
            error_ = "malformed value type";
            return false;
        }
        value.type = type;
        if (isString) {
            textStart = pos + close + 3;
        } else if (!parseHexData(pos + close + 2, value.data)) {
            return false;
        }
    } else if (startsWith(data, "hex:")) {
        value.type = kRegBinary;
        if (!parseHexData(pos + 4, value.data)) return false;
    } else if (startsWith(data, "dword:")) {
        std::size_t i = 6;
        std::uint32_t number = 0;
        while (i < data.size() && i < 14 && hexDigitValue(data[i]) >= 0) {
            number = number * 16 + static_cast<std::uint32_t>(hexDigitValue(data[i++]));
        }
        if (i == 6 || data.substr(i).find_first_not_of(" \t") != std::string_view::npos) {
            errorColumn_ = pos + i;
            error_ = "malformed dword";
            return false;
        }
        value = RegistryValue::dword(number);
    } else {
        errorColumn_ = pos;
        error_ = "unknown value data";
        return false;
    }
    if (textStart != std::string_view::npos) {
        std::size_t at = textStart;
        std::u16string units;
        if (!parseText(at, '"', units)) return false;
        units += u'\0';
        value.data = utf16ToBytes(units);
        if (line_.substr(at).find_first_not_of(" \t") != std::string_view::npos) {
            errorColumn_ = at;
            error_ = "unexpected text after the string";
            return false;
        }
    }
    key_->setValue(utf16ToUtf8(name), std::move(value));
    return true;
}

bool HiveParser::parseOption() {
    if (startsWith(line_, "#time=")) {
        std::uint64_t time = 0;
        std::size_t i = 6;
        for (; i < line_.size() && hexDigitValue(line_[i]) >= 0 && i < 22; ++i) {
            time = time * 16 + static_cast<std::uint64_t>(hexDigitValue(line_[i]));
        }
        if (i == 6 || i != line_.size()) {
            errorColumn_ = i;
            error_ = "malformed #time";
            return false;
        }
        key_->fileTime = time;
    } else if (startsWith(line_, "#class=\"")) {
        std::size_t pos = 8;
        std::u16string name;
        if (!parseText(pos, '"', name)) return false;
        key_->className = utf16ToUtf8(name);
    } else if (line_ == "#link") {
        key_->isLink = true;
    } else {
        keep({});
    }
    return true;
}

void HiveParser::warn(std::string message) {
    hive_.warnings.push_back(
        ParseError{fileName_, lineNumber_, indent_ + errorColumn_ + 1, std::move(message)});
}

void HiveParser::keep(std::string message) {
    const std::string_view verbatim = verbatimEntry();
    if (!message.empty()) warn(std::move(message));
    if (key_ == nullptr) {
        hive_.header.emplace_back(verbatim);
    } else {
        key_->keptLines.push_back({key_->values().size(), std::string(verbatim)});
    }
}

// Reads what Wine loads. Wine skips, with a warning, every line it cannot read and keeps
// going; we keep such lines verbatim instead, so that writing the file back loses nothing.
// Only a file that is not a registry file at all is refused.
Expected<RegistryHive, ParseError> HiveParser::parse() {
    if (!nextLine() || line_ != kVersionLine) {
        lineNumber_ = 1;
        return fail(
            0, "not a registry file: the first line must be \"" + std::string(kVersionLine) + "\"");
    }
    bool inBadKey = false;  // after a key line we cannot read, up to the next key
    while (nextLine()) {
        if (line_.empty()) {
            if (key_ == nullptr) hive_.header.emplace_back();
            continue;
        }
        // Wine reads a line from its first non-blank character on.
        entryStart_ = lineEnd_ - line_.size();
        indent_ = line_.find_first_not_of(" \t");
        errorColumn_ = 0;
        if (indent_ == std::string_view::npos) {
            indent_ = 0;
            keep({});  // a blank-only line means nothing
            continue;
        }
        line_.remove_prefix(indent_);
        const char first = line_[0];
        if (first == '[') {
            // The blank line before each key is part of the format, not of the header.
            while (key_ == nullptr && !hive_.header.empty() && hive_.header.back().empty()) {
                hive_.header.pop_back();
            }
            inBadKey = !parseKeyHeader();
            if (inBadKey) keep(error_);
        } else if (inBadKey) {
            keep("line of a key that could not be read");
        } else if (key_ == nullptr) {
            // Lines before the first key belong to the file header.
            keep(first == ';' || first == '#' ? std::string() : "line outside any key");
        } else if (first == '@' || first == '"') {
            if (parseValue()) continue;
            if (!unreadValue_) {
                keep(error_);
                continue;
            }
            // Wine makes such a value empty and of no type; its line stays as written, unless
            // the end of the file cut it off: written back anywhere else, its continuation
            // would take in the line after it.
            warn(error_);
            if (cutOffByTheEnd_)
                key_->setValue(*unreadValue_, {});
            else
                key_->setUnreadValue(*unreadValue_, std::string(verbatimEntry()));
        } else if (first == '#') {
            if (!parseOption()) keep(error_);
        } else if (first == ';') {
            keep({});
        } else {
            keep("unrecognised line");
        }
    }
    return std::move(hive_);
}

}  // namespace

Expected<RegistryHive, ParseError> parseWineRegistry(std::string_view text,
                                                     const std::string& fileName) {
    return HiveParser(text, fileName).parse();
}

std::vector<std::string> wineHiveHeader(std::string_view relativeTo) {
    return {";; All keys relative to " + std::string(relativeTo), "", "#arch=win32"};
}

}  // namespace kestrel::platform
