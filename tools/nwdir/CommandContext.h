// The directory context every command works on.
#pragma once

#include <string>
#include <vector>

#include "nwkit/ScopedContext.h"

namespace nwdir {

// Makes `context` one on `tree` (the client's default tree when empty) whose names are typed
// and resolved from the root, so that every name a user types is a full name. 0 or the
// client's error.
NWDSCCODE openCommandContext(nw::kit::ScopedContext& context, const std::string& tree);

// The trees the workstation can reach, in the client's order, scanned through a context on
// `tree`. `configured` is false when the client has no directory at all.
struct TreeScan {
    bool configured = false;
    NWDSCCODE error = 0;
    std::vector<std::string> trees;
};
TreeScan scanTrees(const std::string& tree);

}  // namespace nwdir
