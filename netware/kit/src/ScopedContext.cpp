#include "nwkit/ScopedContext.h"

namespace nw::kit {

NWDSCCODE ScopedContext::create() {
    release();
    NWDSCCODE result = calls_.NWDSCreateContextHandle(&handle_);
    valid_ = result == 0;
    return result;
}

NWDSCCODE ScopedContext::createDefault() {
    release();
    handle_ = calls_.NWDSCreateContext();
    valid_ = handle_ != ERR_CONTEXT_CREATION;
    return valid_ ? 0 : ERR_CONTEXT_CREATION;
}

void ScopedContext::release() {
    if (valid_) calls_.NWDSFreeContext(handle_);
    valid_ = false;
}

}  // namespace nw::kit
