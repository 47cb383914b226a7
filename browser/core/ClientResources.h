// Buffers and contexts borrowed from the client for one operation, given back on every path
// out of it, and texts read out of the client's fixed-size answers.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "ClientEntryPoints.h"

namespace kestrel::browser {

class ScopedBuffer {
  public:
    explicit ScopedBuffer(const ClientEntryPoints& client) : client_(client) {}
    ~ScopedBuffer() {
        if (buffer_ != nullptr) client_.NWDSFreeBuf(buffer_);
    }
    ScopedBuffer(const ScopedBuffer&) = delete;
    ScopedBuffer& operator=(const ScopedBuffer&) = delete;

    NWDSCCODE allocate(std::size_t size) {
        NWDSCCODE result = client_.NWDSAllocBuf(size, &buffer_);
        if (result != 0) buffer_ = nullptr;
        return result;
    }
    pBuf_T get() const { return buffer_; }

  private:
    const ClientEntryPoints& client_;
    pBuf_T buffer_ = nullptr;
};

class ScopedContext {
  public:
    explicit ScopedContext(const ClientEntryPoints& client) : client_(client) {}
    ~ScopedContext() {
        if (valid_) client_.NWDSFreeContext(handle_);
    }
    ScopedContext(const ScopedContext&) = delete;
    ScopedContext& operator=(const ScopedContext&) = delete;

    NWDSCCODE create() {
        NWDSCCODE result = client_.NWDSCreateContextHandle(&handle_);
        valid_ = result == 0;
        return result;
    }
    // The older call that returns the handle itself, or ERR_CONTEXT_CREATION.
    NWDSCCODE createDefault() {
        handle_ = client_.NWDSCreateContext();
        valid_ = handle_ != ERR_CONTEXT_CREATION;
        return valid_ ? 0 : ERR_CONTEXT_CREATION;
    }
    NWDSContextHandle get() const { return handle_; }

  private:
    const ClientEntryPoints& client_;
    NWDSContextHandle handle_ = 0;
    bool valid_ = false;
};

// Room for any name the client hands out (distinguished names, tree and class names).
using NameText = std::array<char, MAX_DN_BYTES>;

inline std::string textOf(const char* text, std::size_t size) {
    return std::string(text, strnlen(text, size));
}

inline std::string textOf(const NameText& text) {
    return textOf(text.data(), text.size());
}

}  // namespace kestrel::browser
