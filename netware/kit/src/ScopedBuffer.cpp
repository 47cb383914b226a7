#include "nwkit/ScopedBuffer.h"

namespace nw::kit {

NWDSCCODE ScopedBuffer::allocate(std::size_t size) {
    release();
    NWDSCCODE result = calls_.NWDSAllocBuf(size, &buffer_);
    if (result != 0) buffer_ = nullptr;
    return result;
}

void ScopedBuffer::release() {
    if (buffer_ != nullptr) calls_.NWDSFreeBuf(buffer_);
    buffer_ = nullptr;
}

}  // namespace nw::kit
