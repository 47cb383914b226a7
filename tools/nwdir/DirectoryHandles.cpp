#include "DirectoryHandles.h"

namespace nwdir {

std::optional<DsContext> DsContext::open(const std::string& tree, NWDSCCODE* error) {
    NWDSContextHandle handle = 0;
    if ((*error = NWDSCreateContextHandle(&handle)) != 0) return std::nullopt;
    DsContext context(handle);
    nuint32 flags = 0;
    if ((*error = NWDSGetContext(handle, DCK_FLAGS, &flags)) != 0) return std::nullopt;
    flags = (flags & ~static_cast<nuint32>(DCV_TYPELESS_NAMES)) | DCV_CANONICALIZE_NAMES;
    if ((*error = NWDSSetContext(handle, DCK_FLAGS, &flags)) != 0) return std::nullopt;
    if ((*error = NWDSSetContext(handle, DCK_NAME_CONTEXT, "[Root]")) != 0) return std::nullopt;
    if (!tree.empty() && (*error = NWDSSetContext(handle, DCK_TREE_NAME, tree.c_str())) != 0)
        return std::nullopt;
    return context;
}

DsContext::~DsContext() {
    if (handle_ != 0) NWDSFreeContext(handle_);
}

std::string DsContext::tree() const {
    char name[MAX_TREE_NAME_BYTES] = "";
    NWDSGetContext(handle_, DCK_TREE_NAME, name);
    return name;
}

std::optional<DsBuffer> DsBuffer::allocate(std::size_t size, NWDSCCODE* error) {
    pBuf_T buffer = nullptr;
    if ((*error = NWDSAllocBuf(size, &buffer)) != 0) return std::nullopt;
    return DsBuffer(buffer);
}

DsBuffer::~DsBuffer() {
    if (buffer_ != nullptr) NWDSFreeBuf(buffer_);
}

}  // namespace nwdir
