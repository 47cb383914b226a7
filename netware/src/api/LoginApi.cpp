// Trees, logins and the logged-in identity. Logins are kept in the session store, so every
// program of the user sees them.
#include <ctime>

#include "ApiSupport.h"
#include "nwkit/PasswordHash.h"
#include "nwnet.h"

using namespace nw;

namespace {

// The user object a login names, or null. Never tells why: a wrong name and a wrong
// password fail alike.
std::optional<ObjectView> loginTarget(const Context& context, const Tree& tree, const char* name) {
    auto resolved =
        resolveName(name == nullptr ? "" : name, context.nameContext, context.canonicalize());
    if (!resolved || resolved->isRoot()) return std::nullopt;
    auto index = tree.find(*resolved);
    if (!index) return std::nullopt;
    ObjectView object = tree.head(*index);
    if (object.passwordHash().empty()) return std::nullopt;
    return object;
}

NWDSCCODE login(Client& client, const Context& context, const char* objectName,
                const char* password) {
    const Tree* tree = client.treeOf(context);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    std::string_view secret = password == nullptr ? "" : password;
    auto user = loginTarget(context, *tree, objectName);
    if (!user) {
        kit::spendVerificationTime(secret);
        return ERR_FAILED_AUTHENTICATION;
    }
    if (!kit::verifyPassword(secret, std::string(user->passwordHash())))
        return ERR_FAILED_AUTHENTICATION;

    const std::string& treeName = tree->name();
    const ClientConfig* config = client.config();
    bool stored = client.session()->update([&](SessionState& state) {
        state.logins[treeKey(treeName)] =
            Login{std::string(user->name()), static_cast<std::int64_t>(std::time(nullptr))};
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
    const Tree* tree = client.treeOf(context);
    if (tree == nullptr) return ERR_NO_CONNECTION;
    bool stored = client.session()->update(
        [&](SessionState& state) { state.logins.erase(treeKey(tree->name())); });
    return stored ? 0 : ERR_SYSTEM_ERROR;
}

NWDSCCODE loginState(Client& client, const Context& context, std::string* user) {
    const Tree* tree = client.treeOf(context);
    const Login* login = tree == nullptr ? nullptr : client.loginFor(tree->name());
    if (login == nullptr) return ERR_NOT_LOGGED_IN;
    if (user != nullptr) *user = client.fullName(context, login->user);
    return 0;
}

NWDSCCODE scanTrees(Client& client, NWCONN_HANDLE connHandle, const char* scanFilter,
                    nint32* scanIndex, char* treeName) {
    if (!client.connectionRef(connHandle)) return ERR_NO_CONNECTION;
    const Directory* directory = client.directory();
    if (directory == nullptr) return ERR_NO_CONNECTION;
    std::string_view pattern = scanFilter == nullptr ? "*" : scanFilter;
    const auto& trees = directory->trees();
    for (std::size_t i = static_cast<std::size_t>(std::max(*scanIndex + 1, 0)); i < trees.size();
         ++i) {
        if (!wildcardMatch(trees[i].name(), pattern)) continue;
        copyText(treeName, trees[i].name());
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
        const Directory* directory = client.directory();
        if (!ref || directory == nullptr) return ERR_NO_CONNECTION;
        if (static_cast<int>(*ref) != directory->treeIndex(state.tree) + 1)
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
