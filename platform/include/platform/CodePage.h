#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kestrel::platform {

// A single-byte Windows ANSI code page: how programs that speak bytes spell text that the
// system keeps as UTF-16 and we keep as UTF-8. Bytes 0x00-0x7F are ASCII in every one of
// them; a byte the code page leaves undefined stands for the character of the same number,
// as Windows maps it, so every byte string survives bytes -> UTF-8 -> bytes.
class CodePage {
  public:
    // The code page Windows uses for western languages, and the one a root uses when its
    // registry names none.
    static const CodePage& windows1252();
    // ISO 8859-1, the code page of file formats that take their single-byte text as such.
    static const CodePage& latin1();
    // The Windows code page of that number (874, 1250-1258, 28591), nullptr for any other
    // (the multi-byte East Asian ones included).
    static const CodePage* byNumber(unsigned number);

    unsigned number() const { return number_; }
    std::string toUtf8(std::string_view bytes) const;
    // Characters without a byte in the code page become '?', one for each character however
    // it is encoded (a byte that is not valid UTF-8 stands for the character of its number).
    std::string fromUtf8(std::string_view text) const;
    // Text of a file that Windows programs write in the code page and a host editor in
    // UTF-8 (win.ini): taken as UTF-8 where it is valid UTF-8, else as the bytes it is.
    std::string fromUtf8OrBytes(std::string_view text) const;

  private:
    using HighHalf = std::array<char16_t, 128>;  // the characters of bytes 0x80-0xFF
    CodePage(unsigned number, const HighHalf& high) : number_(number), high_(&high) {}

    unsigned number_;
    const HighHalf* high_;
};

}  // namespace kestrel::platform
