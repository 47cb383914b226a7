// General client calls. The directory backend serves trees, not file servers, so the
// bindery and console calls answer as a client with no file-server connection would.
#include <algorithm>
#include <ctime>

#include "ApiSupport.h"
#include "nwcalls.h"

using namespace nw;

namespace {

constexpr NWCCODE kFailure = NWE_REQUESTER_FAILURE;

// Copies at most `limit` - 1 bytes and terminates.
void copyLimited(char* destination, std::string_view text, std::size_t limit) {
    copyText(destination, text.substr(0, limit - 1));
}

NWCCODE parsePath(std::string_view rest, nstr8* serverName, NWCONN_HANDLE* conn, nstr8* volName,
                  nstr8* dirPath) {
    std::string_view server, volume;
    // SERVER/VOLUME:path or VOLUME:path; the server part ends at the first slash before
    // the colon.
    if (auto colon = rest.find(':'); colon != std::string_view::npos) {
        std::string_view head = rest.substr(0, colon);
        if (auto slash = head.find_first_of("/\\"); slash != std::string_view::npos) {
            server = head.substr(0, slash);
            volume = head.substr(slash + 1);
        } else {
            volume = head;
        }
        rest.remove_prefix(colon + 1);
    }
    if (server.size() >= NW_MAX_SERVER_NAME_LEN || volume.size() >= NW_MAX_VOLUME_NAME_LEN ||
        rest.size() >= NW_MAX_PATH_LEN)
        return NWE_BUFFER_OVERFLOW;
    if (serverName != nullptr) copyLimited(serverName, server, NW_MAX_SERVER_NAME_LEN);
    if (volName != nullptr) copyLimited(volName, volume, NW_MAX_VOLUME_NAME_LEN);
    if (dirPath != nullptr) copyLimited(dirPath, rest, NW_MAX_PATH_LEN);
    if (conn != nullptr) *conn = 0;  // no file server is ever attached
    return 0;
}

}  // namespace

extern "C" {

NWCCODE NWCallsInit(nptr, nptr) {
    return withClient(kFailure, [](Client& client) { return client.initialize(); });
}

NWCCODE NWLoginToFileServer(NWCONN_HANDLE conn, const nstr8*, nuint16, const nstr8*) {
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        return client.connectionRef(conn) ? NWE_SERVER_UNKNOWN : NWE_CONN_INVALID;
    });
}

NWCCODE NWLogoutFromFileServer(NWCONN_HANDLE conn) {
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        return client.connectionRef(conn) ? NWE_NOT_LOGGED_IN : NWE_CONN_INVALID;
    });
}

NWCCODE NWParsePath(const nstr8* path, nstr8* serverName, NWCONN_HANDLE* conn, nstr8* volName,
                    nstr8* dirPath) {
    if (path == nullptr) return NWE_PARAM_INVALID;
    return guarded(kFailure, [&] { return parsePath(path, serverName, conn, volName, dirPath); });
}

NWCCODE NWGetActiveConnListByType(nuint32 connType, NWCONN_HANDLE* connList, nuint32 maxConns,
                                  nuint32* numConns) {
    if (numConns == nullptr || (connList == nullptr && maxConns > 0)) return NWE_PARAM_INVALID;
    if (connType != NW_CONN_TYPE_ALL && connType != NW_CONN_TYPE_NDS) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        auto handles = client.connections();
        std::size_t count = std::min<std::size_t>(handles.size(), maxConns);
        std::copy_n(handles.begin(), count, connList);
        *numConns = static_cast<nuint32>(count);
        return handles.size() > maxConns ? NWE_BUFFER_OVERFLOW : 0;
    });
}

NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, NWCONN_NUM, nstr8* objName, nuint16* objType,
                                   nuint32* objID, nuint8* loginTime) {
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        auto ref = client.connectionRef(conn);
        auto trees = client.trees();
        if (!ref || *ref == 0 || *ref > trees.size()) return NWE_CONN_INVALID;
        const std::string& tree = trees[*ref - 1];
        const Login* login = client.loginFor(tree);
        if (login == nullptr) return NWE_NOT_LOGGED_IN;
        if (objName != nullptr) copyText(objName, login->user);
        if (objType != nullptr) *objType = OT_USER;
        if (objID != nullptr) {
            Context onTree;
            onTree.tree = tree;
            ObjectDescription user;
            auto name = resolveName(login->user, AbsoluteName{}, false);
            bool found = name && client.backend()->describe(onTree, *name, &user) == 0;
            *objID = found && !user.root ? user.entryId : 0;
        }
        if (loginTime != nullptr) {
            std::time_t since = static_cast<std::time_t>(login->since);
            std::tm local{};
            localtime_r(&since, &local);
            const int parts[7] = {local.tm_year, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                  local.tm_min,  local.tm_sec,     local.tm_wday};
            for (int i = 0; i < 7; ++i) loginTime[i] = static_cast<nuint8>(parts[i] & 0xFF);
        }
        return 0;
    });
}

NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const nstr8* message, nuint16 connCount,
                               const NWCONN_NUM* connList, nuint8* resultList) {
    if (message == nullptr || (connCount > 0 && (connList == nullptr || resultList == nullptr)))
        return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        if (!client.connectionRef(conn)) return NWE_CONN_INVALID;
        // No station is attached to a file server of ours: nothing is delivered.
        std::fill_n(resultList, connCount, static_cast<nuint8>(0xFF));
        return 0;
    });
}

NWCCODE NWSendConsoleBroadcast(NWCONN_HANDLE conn, const nstr8* message, nuint16,
                               const NWCONN_NUM*) {
    if (message == nullptr) return NWE_PARAM_INVALID;
    return withClient(kFailure, [&](Client& client) -> NWCCODE {
        return client.connectionRef(conn) ? NWE_NO_CONSOLE_PRIVILEGES : NWE_CONN_INVALID;
    });
}

}  // extern "C"
