// Passwords come from the terminal without echo, or from standard input when that is not a
// terminal (scripts, tests); never from the command line, where other users could see them.
// They are read straight from the descriptor, so that no buffer of the standard streams keeps
// a copy, and the only copy is wiped when dropped.
#pragma once

#include <optional>

#include "nwkit/Secret.h"

namespace nwdir {

inline constexpr std::size_t kMaxPasswordBytes = 4096;

// Nothing at the end of the input or for an over-long line (said on standard error). From the
// first call on the process holds a secret: it makes no core file, and other processes of the
// user cannot read its memory.
std::optional<nw::kit::Secret> readPassword(const char* prompt);

}  // namespace nwdir
