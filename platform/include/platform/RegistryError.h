#pragma once

#include <string>

namespace kestrel::platform {

// Why the registry could not do something: the Windows system error code a program would
// see (platform/WindowsErrors.h) and, in words, what went wrong.
struct RegistryError {
    long code = 0;
    std::string message;

    const std::string& describe() const { return message; }
};

}  // namespace kestrel::platform
