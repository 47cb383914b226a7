#include "JsonReader.h"

namespace nw {

namespace {

constexpr std::size_t kMaxDepth = 64;  // the directory file nests five deep

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string shown(char c) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
        static const char digits[] = "0123456789ABCDEF";
        return std::string("byte 0x") + digits[byte >> 4] + digits[byte & 15];
    }
    return std::string("'") + c + "'";
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace

std::size_t JsonReader::line() const {
    std::size_t line = 1;
    for (std::size_t i = 0; i < valueStart_ && i < text_.size(); ++i) line += text_[i] == '\n';
    return line;
}

std::size_t JsonReader::column() const {
    std::size_t start = text_.rfind('\n', valueStart_ == 0 ? 0 : valueStart_ - 1);
    if (valueStart_ == 0 || start == std::string_view::npos) return valueStart_ + 1;
    return valueStart_ - start;
}

void JsonReader::fail(const std::string& message) const {
    throw JsonSyntaxError{line(), column(), message};
}

void JsonReader::unexpected(const char* expected) const {
    std::string found = atEnd() ? "end of input" : shown(current());
    fail("unexpected " + found + "; expected " + expected);
}

void JsonReader::skipSpace() {
    while (!atEnd() && isSpace(text_[pos_])) ++pos_;
    valueStart_ = pos_;
}

void JsonReader::expect(char c, const char* what) {
    skipSpace();
    if (current() != c || atEnd()) unexpected(what);
    ++pos_;
}

JsonKind JsonReader::peek() {
    skipSpace();
    switch (current()) {
        case '{':
            return JsonKind::Object;
        case '[':
            return JsonKind::Array;
        case '"':
            return JsonKind::String;
        case 't':
        case 'f':
            return JsonKind::Boolean;
        case 'n':
            return JsonKind::Null;
        default:
            if (!atEnd() && (current() == '-' || (current() >= '0' && current() <= '9')))
                return JsonKind::Number;
            unexpected("a value");
    }
}

void JsonReader::beginObject() {
    if (peek() != JsonKind::Object) unexpected("'{'");
    if (first_.size() == kMaxDepth) fail("nested too deeply");
    ++pos_;
    first_.push_back(true);
}

void JsonReader::beginArray() {
    if (peek() != JsonKind::Array) unexpected("'['");
    if (first_.size() == kMaxDepth) fail("nested too deeply");
    ++pos_;
    first_.push_back(true);
}

// Consumes the comma before a further element, or the closing bracket (returning false).
bool JsonReader::separator(char close) {
    skipSpace();
    if (current() == close && !atEnd()) {
        ++pos_;
        first_.pop_back();
        return false;
    }
    if (!first_.back()) {
        if (current() != ',' || atEnd()) unexpected(close == '}' ? "',' or '}'" : "',' or ']'");
        ++pos_;
    }
    first_.back() = false;
    return true;
}

bool JsonReader::nextMember(std::string_view* key) {
    if (!separator('}')) return false;
    if (peek() != JsonKind::String) unexpected("a member name");
    *key = readString();
    expect(':', "':'");
    return true;
}

bool JsonReader::nextElement() {
    return separator(']');
}

std::uint32_t JsonReader::hexQuad() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i, ++pos_) {
        char c = current();
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
        if (digit < 0 || atEnd()) fail("invalid \\u escape");
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

void JsonReader::appendEscape() {
    char c = current();
    ++pos_;
    switch (c) {
        case '"':
        case '\\':
        case '/':
            scratch_.push_back(c);
            return;
        case 'b':
            scratch_.push_back('\b');
            return;
        case 'f':
            scratch_.push_back('\f');
            return;
        case 'n':
            scratch_.push_back('\n');
            return;
        case 'r':
            scratch_.push_back('\r');
            return;
        case 't':
            scratch_.push_back('\t');
            return;
        case 'u':
            break;
        default:
            fail("invalid escape in a string");
    }
    std::uint32_t code = hexQuad();
    if (code >= 0xDC00 && code <= 0xDFFF) fail("invalid \\u escape (lone low surrogate)");
    if (code >= 0xD800 && code <= 0xDBFF) {
        if (current() != '\\' || pos_ + 1 >= text_.size() || text_[pos_ + 1] != 'u')
            fail("invalid \\u escape (high surrogate without its low half)");
        pos_ += 2;
        std::uint32_t low = hexQuad();
        if (low < 0xDC00 || low > 0xDFFF)
            fail("invalid \\u escape (high surrogate without its low half)");
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(scratch_, code);
}

std::string_view JsonReader::readString() {
    if (peek() != JsonKind::String) unexpected("a string");
    ++pos_;
    std::size_t start = pos_;
    // Most strings have no escapes and are returned as they stand in the text.
    while (!atEnd() && text_[pos_] != '"' && text_[pos_] != '\\' &&
           static_cast<unsigned char>(text_[pos_]) >= 0x20)
        ++pos_;
    if (current() == '"' && !atEnd()) return text_.substr(start, pos_++ - start);
    scratch_.assign(text_.substr(start, pos_ - start));
    for (;;) {
        if (atEnd()) fail("unterminated string");
        char c = text_[pos_];
        if (c == '"') break;
        if (static_cast<unsigned char>(c) < 0x20) fail("control character in a string");
        ++pos_;
        if (c == '\\')
            appendEscape();
        else
            scratch_.push_back(c);
    }
    ++pos_;
    return scratch_;
}

JsonNumber JsonReader::readNumber() {
    if (peek() != JsonKind::Number) unexpected("a number");
    JsonNumber number;
    if (current() == '-') {
        number.negative = true;
        ++pos_;
    }
    if (current() < '0' || current() > '9' || atEnd()) unexpected("a digit");
    bool leadingZero = current() == '0';
    while (!atEnd() && current() >= '0' && current() <= '9') {
        auto digit = static_cast<std::uint64_t>(current() - '0');
        if (number.magnitude > (UINT64_MAX - digit) / 10) number.overflow = true;
        number.magnitude = number.magnitude * 10 + digit;
        ++pos_;
        if (leadingZero && current() >= '0' && current() <= '9') fail("leading zero in a number");
    }
    auto digits = [this] {
        if (current() < '0' || current() > '9' || atEnd()) unexpected("a digit");
        while (!atEnd() && current() >= '0' && current() <= '9') ++pos_;
    };
    if (current() == '.' && !atEnd()) {
        number.integral = false;
        ++pos_;
        digits();
    }
    if ((current() == 'e' || current() == 'E') && !atEnd()) {
        number.integral = false;
        ++pos_;
        if (current() == '+' || current() == '-') ++pos_;
        digits();
    }
    return number;
}

void JsonReader::literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) fail("invalid literal");
    pos_ += word.size();
}

bool JsonReader::readBoolean() {
    if (peek() != JsonKind::Boolean) unexpected("true or false");
    bool value = current() == 't';
    literal(value ? "true" : "false");
    return value;
}

void JsonReader::readNull() {
    if (peek() != JsonKind::Null) unexpected("null");
    literal("null");
}

void JsonReader::skipValue() {
    std::string_view key;
    switch (peek()) {
        case JsonKind::Object:
            beginObject();
            while (nextMember(&key)) skipValue();
            return;
        case JsonKind::Array:
            beginArray();
            while (nextElement()) skipValue();
            return;
        case JsonKind::String:
            readString();
            return;
        case JsonKind::Number:
            readNumber();
            return;
        case JsonKind::Boolean:
            readBoolean();
            return;
        case JsonKind::Null:
            readNull();
            return;
    }
}

void JsonReader::finish() {
    skipSpace();
    if (!atEnd()) unexpected("end of input");
}

}  // namespace nw
