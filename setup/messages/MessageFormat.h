#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrel::setup {

// One argument of a message: a text or a number, in the order of the message's conversions.
class MessageArg {
  public:
    MessageArg(const char* text) : value_(std::string(text ? text : "")) {}
    MessageArg(std::string text) : value_(std::move(text)) {}
    MessageArg(std::string_view text) : value_(std::string(text)) {}
    template <typename N>
    requires std::is_integral_v<N> MessageArg(N number)
        : value_(static_cast<std::int64_t>(number)) {}

    bool isText() const { return value_.index() == 0; }
    const std::string& text() const;
    std::int64_t number() const;

  private:
    std::variant<std::string, std::int64_t> value_;
};

// printf-style formatting as the messages use it (%s, %d, %u, %ld, %lu, %x, %lx, %c, %%,
// flags, width and precision, "*" taken from the arguments). A missing argument reads as
// an empty text or 0, a number where a text is expected is written in decimal, and the
// result is cut to `limit` characters: nothing a message holds can overrun anything.
std::string formatMessage(std::string_view format, const std::vector<MessageArg>& args,
                          std::size_t limit = 2047);

}  // namespace kestrel::setup
