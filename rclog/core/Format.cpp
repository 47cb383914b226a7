#include "Format.h"

#include <cstdarg>
#include <cstdio>

namespace kestrel::rclog {

std::string format(const char* pattern, ...) {
    va_list args;
    va_start(args, pattern);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(nullptr, 0, pattern, copy);
    va_end(copy);
    std::string text;
    if (size > 0) {
        text.resize(static_cast<std::size_t>(size) + 1);
        std::vsnprintf(text.data(), text.size(), pattern, args);
        text.resize(static_cast<std::size_t>(size));
    }
    va_end(args);
    return text;
}

}  // namespace kestrel::rclog
