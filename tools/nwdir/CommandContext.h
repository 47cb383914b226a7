// The directory context every command works on.
#pragma once

#include <string>

#include "nwkit/ScopedContext.h"

namespace nwdir {

// Makes `context` one on `tree` (the client's default tree when empty) whose names are typed
// and resolved from the root, so that every name a user types is a full name. 0 or the
// client's error.
NWDSCCODE openCommandContext(nw::kit::ScopedContext& context, const std::string& tree);

}  // namespace nwdir
