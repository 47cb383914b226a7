// How the script's command and condition lines are cut into words.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::setup {

// Reads words separated by blanks (spaces and tabs). A part in double quotes may hold blanks
// and loses its quotes (a"b c"d is "ab cd"). Characters marked as a place (the value of a
// directory variable, ExpandedText) stay within their word as they are, blanks, quotes and
// parentheses included. With `groupParentheses` a part in parentheses, up to the matching
// one, stays within its word too: a function's argument is part of its call
// (DoesFileExist(C:\Program Files\x.ini)). `places` may be shorter than the text, or empty:
// what it does not cover is no place.
class WordReader {
  public:
    WordReader(std::string_view text, const std::vector<bool>& places,
               bool groupParentheses = false)
        : text_(text), places_(places), groupParentheses_(groupParentheses) {}

    // The next word; nullopt when only blanks are left.
    std::optional<std::string> next();
    // Where reading stands: right after the last word read.
    std::size_t position() const { return at_; }

  private:
    bool isPlace(std::size_t at) const { return at < places_.size() && places_[at]; }

    std::string_view text_;
    const std::vector<bool>& places_;
    bool groupParentheses_;
    std::size_t at_ = 0;
};

// All words of the text, as WordReader reads them.
std::vector<std::string> splitWords(std::string_view text, const std::vector<bool>& places = {},
                                    bool groupParentheses = false);

}  // namespace kestrel::setup
