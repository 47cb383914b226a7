// Connections to trees: references name the trees the workstation can reach, handles are
// this process's open uses of them.
#include "ApiSupport.h"
#include "nwclxcon.h"

using namespace nw;

namespace {

constexpr NWCCODE kFailure = NWE_REQUESTER_FAILURE;

std::optional<std::string> treeOfRef(Client& client, nuint32 ref) {
    auto trees = client.trees();
    if (ref == 0 || ref > trees.size()) return std::nullopt;
    return trees[ref - 1];
}

}  // namespace

extern "C" {

NWCCODE NWCCGetPrimConnRef(nuint32* connRef) {
    if (connRef == nullptr) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        auto ref = client.primaryConnRef();
        if (!ref) return NWE_CONN_INVALID;
        *connRef = *ref;
        return 0;
    });
}

NWCCODE NWCCOpenConnByName(NWCONN_HANDLE, const nstr8* name, nuint nameFormat, nuint, nuint,
                           NWCONN_HANDLE* connHandle) {
    if (name == nullptr || connHandle == nullptr) return NWE_PARAM_INVALID;
    if (nameFormat != NWCC_NAME_FORMAT_NDS_TREE) return NWE_UNSUPPORTED_NAME_FORMAT_TYPE;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        int index = client.treeIndex(name);
        if (index < 0) return NWE_SERVER_UNKNOWN;
        *connHandle = client.openConnection(static_cast<nuint32>(index + 1));
        return 0;
    });
}

NWCCODE NWCCOpenConnByRef(nuint32 connRef, nuint, nuint, NWCONN_HANDLE* connHandle) {
    if (connHandle == nullptr) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        if (!treeOfRef(client, connRef)) return NWE_CONN_REF_INVALID;
        *connHandle = client.openConnection(connRef);
        return 0;
    });
}

NWCCODE NWCCCloseConn(NWCONN_HANDLE connHandle) {
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        return client.closeConnection(connHandle) ? 0 : NWE_CONN_INVALID;
    });
}

NWCCODE NWCCGetConnRef(NWCONN_HANDLE connHandle, nuint32* connRef) {
    if (connRef == nullptr) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        auto ref = client.connectionRef(connHandle);
        if (!ref) return NWE_CONN_INVALID;
        *connRef = *ref;
        return 0;
    });
}

NWCCODE NWCCSysCloseConnRef(nuint32 connRef) {
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        if (!treeOfRef(client, connRef)) return NWE_CONN_REF_INVALID;
        client.closeConnectionsOf(connRef);
        return 0;
    });
}

NWCCODE NWCCScanConnRefs(nuint32* scanIterator, nuint32* connRef) {
    if (scanIterator == nullptr || connRef == nullptr) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        if (!treeOfRef(client, *scanIterator + 1)) return NWE_NO_MORE_ENTRIES;
        *connRef = ++*scanIterator;
        return 0;
    });
}

NWCCODE NWCCGetAllConnRefInfo(nuint32 connRef, nuint infoLevel, pNWCCConnInfo connInfo) {
    if (connInfo == nullptr || infoLevel != NWCC_INFO_LEVEL_ALL) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        auto tree = treeOfRef(client, connRef);
        if (!tree) return NWE_CONN_REF_INVALID;
        const Login* login = client.loginFor(*tree);
        *connInfo = NWCCConnInfo{};
        connInfo->connRef = connRef;
        connInfo->authenticationState = login != nullptr ? 1 : 0;
        connInfo->openCount = client.openCount(connRef);
        copyText(connInfo->treeName, *tree);
        copyText(connInfo->userName, login != nullptr ? login->user : "");
        return 0;
    });
}

}  // extern "C"
