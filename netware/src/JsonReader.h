// A streaming reader of JSON text: the caller walks the document member by member and value
// by value, so nothing of it is kept beyond the value at hand. Syntax errors carry the line
// and column where they were found.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nw {

struct JsonSyntaxError {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string message;
};

enum class JsonKind { Object, Array, String, Number, Boolean, Null };

struct JsonNumber {
    bool negative = false;
    bool integral = true;   // no fraction, no exponent
    bool overflow = false;  // more than 64 bits of magnitude
    std::uint64_t magnitude = 0;
};

class JsonReader {
  public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    // What the next value is (whitespace skipped); throws JsonSyntaxError where no value
    // can begin.
    JsonKind peek();
    void beginObject();
    // The next member's key (valid until the next call), or false at the closing brace.
    bool nextMember(std::string_view* key);
    void beginArray();
    // True when another element follows, false at the closing bracket.
    bool nextElement();
    // The string (valid until the next call of the reader).
    std::string_view readString();
    JsonNumber readNumber();
    bool readBoolean();
    void readNull();
    void skipValue();
    // After the document: only whitespace may follow.
    void finish();

    // Line and column of the value that peek() or the last read started at.
    std::size_t line() const;
    std::size_t column() const;
    [[noreturn]] void fail(const std::string& message) const;

  private:
    void skipSpace();
    char current() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    bool atEnd() const { return pos_ >= text_.size(); }
    void expect(char c, const char* what);
    [[noreturn]] void unexpected(const char* expected) const;
    void appendEscape();
    std::uint32_t hexQuad();
    void literal(std::string_view word);
    bool separator(char close);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t valueStart_ = 0;
    std::string scratch_;
    std::vector<bool> first_;  // per open container: no element read yet
};

}  // namespace nw
