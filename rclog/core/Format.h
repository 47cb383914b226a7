// printf formatting into a string, for the messages whose texts are printf formats.
#pragma once

#include <string>

namespace kestrel::rclog {

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kestrel::rclog
