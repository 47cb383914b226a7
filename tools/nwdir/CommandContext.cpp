#include "CommandContext.h"

#include "nwclxcon.h"
#include "nwkit/LinkedClient.h"

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

TreeScan scanTrees(const std::string& tree) {
    TreeScan scan;
    nuint32 ref = 0;
    NWCONN_HANDLE connection = 0;
    if (NWCCGetPrimConnRef(&ref) != 0 ||
        NWCCOpenConnByRef(ref, NWCC_OPEN_LICENSED, 0, &connection) != 0)
        return scan;
    scan.configured = true;
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    scan.error = openCommandContext(context, tree);
    char name[MAX_TREE_NAME_BYTES];
    for (nint32 index = -1; scan.error == 0 && NWDSScanForAvailableTrees(context.get(), connection,
                                                                         "*", &index, name) == 0;)
        scan.trees.push_back(name);
    NWCCCloseConn(connection);
    return scan;
}

}  // namespace nwdir
