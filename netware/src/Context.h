// A directory context: the flags and the name context against which callers' names are
// resolved and the directory's names are shown, and the tree it works on. The client keeps
// one per handle; the backends answer each call for the context it came with.
#pragma once

#include <cstdint>
#include <string>

#include "DirectoryName.h"
#include "nwnet.h"

namespace nw {

struct Context {
    std::uint32_t flags = DCV_DEREF_ALIASES | DCV_XLATE_STRINGS | DCV_CANONICALIZE_NAMES;
    std::uint32_t confidence = 0;
    std::uint32_t transportType = 0;
    std::uint32_t referralScope = 0;
    std::uint32_t nameForm = 0;
    std::uint32_t lastConnection = 0;
    std::uint32_t dsiFlags =
        DSI_ENTRY_FLAGS | DSI_SUBORDINATE_COUNT | DSI_MODIFICATION_TIME | DSI_BASE_CLASS;
    std::string tree;
    AbsoluteName nameContext;

    bool typeless() const { return (flags & DCV_TYPELESS_NAMES) != 0; }
    bool canonicalize() const { return (flags & DCV_CANONICALIZE_NAMES) != 0; }
};

}  // namespace nw
