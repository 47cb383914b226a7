#include "program/HookCallbacks.h"

#include <cstring>

#include "platform/AsciiCase.h"

namespace kestrel::setup {

bool expandHookBuffer(char* buffer, const Expander& expander) {
    if (buffer == nullptr) return false;
    const std::string_view text(buffer, ::strnlen(buffer, kHookExpandBufferSize - 1));
    const std::string expanded = expander.expand(text).substr(0, kHookExpandBufferSize - 1);
    std::memcpy(buffer, expanded.data(), expanded.size());
    buffer[expanded.size()] = '\0';
    return true;
}

bool setHookVariable(std::string_view name, std::string_view value, BuiltinVariables& variables,
                     Environment& environment) {
    if (variables.has(name)) return variables.set(name, value);
    return environment.set(platform::asciiUpper(name), value);
}

}  // namespace kestrel::setup
