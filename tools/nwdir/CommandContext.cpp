#include "CommandContext.h"

namespace nwdir {

NWDSCCODE openCommandContext(nw::kit::ScopedContext& context, const std::string& tree) {
    NWDSCCODE error = 0;
    if ((error = context.create()) != 0) return error;
    NWDSContextHandle handle = context.get();
    nuint32 flags = 0;
    if ((error = NWDSGetContext(handle, DCK_FLAGS, &flags)) != 0) return error;
    flags = (flags & ~static_cast<nuint32>(DCV_TYPELESS_NAMES)) | DCV_CANONICALIZE_NAMES;
    if ((error = NWDSSetContext(handle, DCK_FLAGS, &flags)) != 0) return error;
    if ((error = NWDSSetContext(handle, DCK_NAME_CONTEXT, "[Root]")) != 0) return error;
    if (!tree.empty() && (error = NWDSSetContext(handle, DCK_TREE_NAME, tree.c_str())) != 0)
        return error;
    return 0;
}

}  // namespace nwdir
