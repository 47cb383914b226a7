#pragma once

#include <cstddef>
#include <string_view>

#include "script/BuiltinVariables.h"
#include "script/Environment.h"
#include "script/Expander.h"

namespace kestrel::setup {

// The size of the buffer an extension module hands to the expand callback: the installer's
// own expansion buffers hold 8192 characters, and so must the module's. The callback reads
// the text up to its zero but never more than that, and writes at most that much back: the
// expansion cut to 8191 characters, then the zero. Expansion is bounded anyway (a built-in
// variable holds at most 255 characters, a result is cut to Expander::kLimit), so a module
// that keeps to the size cannot be overrun.
inline constexpr std::size_t kHookExpandBufferSize = Expander::kLimit + 1;

// The expand callback: the %...% references of the text in `buffer` replaced in place.
// false for a null buffer.
bool expandHookBuffer(char* buffer, const Expander& expander);

// The set-variable callback: a built-in variable (its name without regard to case) gets the
// value; any other name becomes an environment variable in capitals. false when the
// environment entry cannot be made.
bool setHookVariable(std::string_view name, std::string_view value, BuiltinVariables& variables,
                     Environment& environment);

}  // namespace kestrel::setup
