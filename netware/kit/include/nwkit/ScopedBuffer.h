// A request or reply buffer borrowed from the client for one operation and freed on every
// way out of it.
#pragma once

#include <cstddef>

#include "nwkit/ClientCalls.h"

namespace nw::kit {

class ScopedBuffer {
  public:
    explicit ScopedBuffer(const ClientCalls& calls) : calls_(calls) {}
    ~ScopedBuffer() { release(); }
    ScopedBuffer(const ScopedBuffer&) = delete;
    ScopedBuffer& operator=(const ScopedBuffer&) = delete;

    // 0 or the client's error; get() stays null after an error.
    [[nodiscard]] NWDSCCODE allocate(std::size_t size);
    pBuf_T get() const { return buffer_; }

  private:
    void release();

    const ClientCalls& calls_;
    pBuf_T buffer_ = nullptr;
};

}  // namespace nw::kit
