#include "nwkit/LinkedClient.h"

namespace nw::kit {

const ClientCalls& linkedClient() {
    static const ClientCalls calls{
#define NWKIT_LINK_ENTRY_POINT(library, name) .name = &::name,
        NWKIT_ENTRY_POINTS(NWKIT_LINK_ENTRY_POINT)
#undef NWKIT_LINK_ENTRY_POINT
    };
    return calls;
}

}  // namespace nw::kit
