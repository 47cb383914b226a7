// Trees, logins and the logged-in identity. Logins are kept in the session store, so every
// program of the user sees them.
#include <ctime>

#include "ApiSupport.h"
#include "nwnet.h"

using namespace nw;

namespace {

NWDSCCODE login(Client& client, const Context& context, const char* objectName,
                const char* password) {
    auto tree = client.treeOf(context);
    if (!tree) return ERR_NO_CONNECTION;
    std::string_view secret = password == nullptr ? "" : password;
    auto resolved = resolveName(objectName == nullptr ? "" : objectName, context.nameContext,
                                context.canonicalize());
    std::string user;
    NWDSCCODE rc =
        client.backend()->authenticate(*tree, resolved.value_or(AbsoluteName{}), secret, &user);
    if (rc != 0) return rc;

    const std::string& treeName = *tree;
    const ClientConfig* config = client.config();
    bool stored = client.session()->update([&](SessionState& state) {
        state.logins[treeKey(treeName)] =
            Login{user, static_cast<std::int64_t>(std::time(nullptr))};
        // The first tree logged in to becomes the default when the default has no login.
        if (state.defaultTree.empty() || state.loginFor(state.defaultTree) == nullptr) {
            bool configured =
                config != nullptr && equalsIgnoreAsciiCase(config->defaultTree, treeName);
            state.defaultTree = treeName;
            state.nameContext =
                configured && !config->nameContext.empty() ? config->nameContext : "[Root]";
        }
    });
    return stored ? 0 : ERR_SYSTEM_ERROR;
}

NWDSCCODE logout(Client& client, const Context& context) {
    auto tree = client.treeOf(context);
    if (!tree) return ERR_NO_CONNECTION;
    client.backend()->loggedOut(*tree);
    bool stored =
        client.session()->update([&](SessionState& state) { state.logins.erase(treeKey(*tree)); });
    return stored ? 0 : ERR_SYSTEM_ERROR;
}

NWDSCCODE loginState(Client& client, const Context& context, std::string* user) {
    auto tree = client.treeOf(context);
    const Login* login = tree ? client.loginFor(*tree) : nullptr;
    if (login == nullptr) return ERR_NOT_LOGGED_IN;
    if (user != nullptr) *user = client.fullName(context, login->user);
    return 0;
}

NWDSCCODE scanTrees(Client& client, NWCONN_HANDLE connHandle, const char* scanFilter,
                    nint32* scanIndex, char* treeName) {
    if (!client.connectionRef(connHandle)) return ERR_NO_CONNECTION;
    if (client.backend() == nullptr) return ERR_NO_CONNECTION;
    std::string_view pattern = scanFilter == nullptr ? "*" : scanFilter;
    const auto trees = client.trees();
    for (std::size_t i = static_cast<std::size_t>(std::max(*scanIndex + 1, 0)); i < trees.size();
         ++i) {
        if (!wildcardMatch(trees[i], pattern)) continue;
        copyText(treeName, trees[i]);
        *scanIndex = static_cast<nint32>(i);
        return 0;
    }
    return ERR_NO_SUCH_ENTRY;
}

}  // namespace

extern "C" {

NWDSCCODE NWDSLogin(NWDSContextHandle context, nuint32 /*optionsFlag*/, const nstr8* objectName,
                    const nstr8* password, nuint32 /*validityPeriod*/) {
    return withContext(context, [&](Client& client, Context& state) {
        return login(client, state, objectName, password);
    });
}

NWDSCCODE NWDSLogout(NWDSContextHandle context) {
    return withContext(context,
                       [](Client& client, Context& state) { return logout(client, state); });
}

NWDSCCODE NWDSAuthenticateConn(NWDSContextHandle context, NWCONN_HANDLE connHandle) {
    return withContext(context, [&](Client& client, Context& state) -> NWDSCCODE {
        auto ref = client.connectionRef(connHandle);
        if (!ref || client.backend() == nullptr) return ERR_NO_CONNECTION;
        if (static_cast<int>(*ref) != client.treeIndex(state.tree) + 1)
            return ERR_INVALID_REQUEST;  // the connection leads to another tree
        return loginState(client, state, nullptr);
    });
}

NWDSCCODE NWDSCanDSAuthenticate(NWDSContextHandle context) {
    return withContext(
        context, [](Client& client, Context& state) { return loginState(client, state, nullptr); });
}

nint NWIsDSAuthenticated(void) {
    return withClient(nint{0}, [](Client& client) -> nint { return client.anyLogin() ? 1 : 0; });
}

NWDSCCODE NWDSWhoAmI(NWDSContextHandle context, nstr8* objectName) {
    if (objectName == nullptr) return ERR_NULL_POINTER;
    return withContext(context, [&](Client& client, Context& state) {
        std::string user;
        NWDSCCODE rc = loginState(client, state, &user);
        if (rc == 0) copyText(objectName, user);
        return rc;
    });
}

NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE connHandle,
                                    const nstr8* scanFilter, nint32* scanIndex, nstr8* treeName) {
    if (scanIndex == nullptr || treeName == nullptr) return ERR_NULL_POINTER;
    return withContext(context, [&](Client& client, Context&) {
        return scanTrees(client, connHandle, scanFilter, scanIndex, treeName);
    });
}

}  // extern "C"
