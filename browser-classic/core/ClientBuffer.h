// A directory request or reply buffer that is freed when it goes out of scope.
#pragma once

#include <cstddef>

#include "nwnet.h"

namespace kestrel::classic {

class ClientBuffer {
  public:
    ClientBuffer() = default;
    ~ClientBuffer() {
        if (buffer_ != nullptr) NWDSFreeBuf(buffer_);
    }
    ClientBuffer(const ClientBuffer&) = delete;
    ClientBuffer& operator=(const ClientBuffer&) = delete;

    bool allocate(std::size_t size) { return NWDSAllocBuf(size, &buffer_) == 0 && buffer_; }
    pBuf_T get() const { return buffer_; }

  private:
    pBuf_T buffer_ = nullptr;
};

}  // namespace kestrel::classic
