// Texts read out of the client's fixed-size answers.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "nwnet.h"

namespace nw::kit {

// Room for any name the client hands out (distinguished names, tree and class names).
using NameText = std::array<char, MAX_DN_BYTES>;

// The text up to its terminator, never beyond `size` bytes.
inline std::string textOf(const char* text, std::size_t size) {
    return std::string(text, strnlen(text, size));
}

inline std::string textOf(const NameText& text) {
    return textOf(text.data(), text.size());
}

}  // namespace nw::kit
