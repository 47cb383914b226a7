// Owning wrappers for the client's contexts and buffers, so that every exit path of a
// command releases what it took.
#pragma once

#include <optional>
#include <string>

#include "nwnet.h"

namespace nwdir {

class DsContext {
public:
    // A context on `tree` (the client's default tree when empty) whose names are typed
    // and resolved from the root, so that every name a user types is a full name.
    static std::optional<DsContext> open(const std::string& tree, NWDSCCODE* error);
    DsContext(DsContext&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
    DsContext(const DsContext&) = delete;
    DsContext& operator=(const DsContext&) = delete;
    DsContext& operator=(DsContext&&) = delete;
    ~DsContext();

    NWDSContextHandle get() const { return handle_; }
    std::string tree() const;

private:
    explicit DsContext(NWDSContextHandle handle) : handle_(handle) {}
    NWDSContextHandle handle_;
};

class DsBuffer {
public:
    static std::optional<DsBuffer> allocate(std::size_t size, NWDSCCODE* error);
    DsBuffer(DsBuffer&& other) noexcept : buffer_(other.buffer_) { other.buffer_ = nullptr; }
    DsBuffer(const DsBuffer&) = delete;
    DsBuffer& operator=(const DsBuffer&) = delete;
    DsBuffer& operator=(DsBuffer&&) = delete;
    ~DsBuffer();

    pBuf_T get() const { return buffer_; }

private:
    explicit DsBuffer(pBuf_T buffer) : buffer_(buffer) {}
    pBuf_T buffer_;
};

}  // namespace nwdir
