// Trees, logins and logouts. Each of these works on a short-lived context of its own and
// leaves the layer's context as it was.
#include <algorithm>

#include "directory/CNDSAccess.h"
#include "nwkit/ClientText.h"
#include "nwkit/ScopedContext.h"
#include "platform/AsciiCase.h"

namespace kestrel::browser {

using nw::kit::NameText;
using nw::kit::ScopedContext;
using nw::kit::textOf;

namespace {

constexpr int kFailed = 1;
constexpr const char* kAllTrees = "*";

}  // namespace

void CNDSAccess::ScanTrees(std::vector<std::string>& trees) {
    if (!loaded_) return;
    nuint32 reference = 0;
    NWCONN_HANDLE connection = 0;
    if (!Succeeded(client_.NWCCGetPrimConnRef(&reference)) ||
        !Succeeded(client_.NWCCOpenConnByRef(reference, NWCC_OPEN_LICENSED, 0, &connection)))
        return;
    nint32 index = NO_MORE_ITERATIONS;
    NameText tree{};
    for (;;) {
        nint32 previous = index;
        bool found = Succeeded(client_.NWDSScanForAvailableTrees(context_, connection, kAllTrees,
                                                                 &index, tree.data()));
        // An index that does not move on would scan for ever.
        if (!found || index <= previous) break;
        std::string name = textOf(tree);
        if (std::find(trees.begin(), trees.end(), name) == trees.end()) trees.push_back(name);
    }
    // The scan needs the connection only while it runs.
    client_.NWCCCloseConn(connection);
}

int CNDSAccess::Login(const std::string& tree, const std::string& user,
                      const std::string& password) {
    if (!loaded_) return kFailed;
    // A typed name is taken from the root of the tree.
    std::string name = platform::asciiLower(user);
    if (name.starts_with("cn=")) name = "." + name;
    NWCONN_HANDLE connection = 0;
    if (!Succeeded(client_.NWCCOpenConnByName(0, tree.c_str(), NWCC_NAME_FORMAT_NDS_TREE,
                                              NWCC_OPEN_LICENSED, 0, &connection)))
        return kFailed;
    ScopedContext context(client_);
    NameText loggedIn{};
    bool done = Succeeded(context.create()) &&
                Succeeded(client_.NWDSSetContext(context.get(), DCK_TREE_NAME, tree.c_str())) &&
                Succeeded(client_.NWDSLogin(context.get(), 0, name.c_str(), password.c_str(), 0)) &&
                Succeeded(client_.NWDSWhoAmI(context.get(), loggedIn.data())) &&
                Succeeded(client_.NWDSAuthenticateConn(context.get(), connection));
    return done ? 0 : kFailed;
}

int CNDSAccess::Logout(const std::string& tree) {
    if (!loaded_) return kFailed;
    ScopedContext context(client_);
    if (!Succeeded(context.create()) ||
        !Succeeded(client_.NWDSSetContext(context.get(), DCK_TREE_NAME, tree.c_str())))
        return kFailed;
    lastResult_ = client_.NWDSLogout(context.get());
    return lastResult_;
}

int CNDSAccess::IsTreeAuthenticated(const std::string& tree, std::string& user) {
    user.clear();
    if (!loaded_) return 0;
    ScopedContext context(client_);
    if (!Succeeded(context.create()) ||
        !Succeeded(client_.NWDSSetContext(context.get(), DCK_TREE_NAME, tree.c_str())))
        return 0;
    int authenticated = Succeeded(client_.NWDSCanDSAuthenticate(context.get())) ? 1 : 0;
    NameText name{};
    if (Succeeded(client_.NWDSWhoAmI(context.get(), name.data()))) {
        user = textOf(name);
        if (user.ends_with('.')) user.pop_back();
    }
    return authenticated;
}

}  // namespace kestrel::browser
