// login, logout, whoami and hash.
#include "CommandContext.h"
#include "Invocation.h"
#include "PasswordPrompt.h"
#include "nwclxcon.h"
#include "nwkit/LinkedClient.h"
#include "nwkit/PasswordHash.h"

namespace nwdir {

int runLogin(const Invocation& run) {
    const std::string& tree = run.words[1];
    const std::string& user = run.words[2];
    NWCONN_HANDLE connection = 0;
    if (NWCCOpenConnByName(0, tree.c_str(), NWCC_NAME_FORMAT_NDS_TREE, NWCC_OPEN_LICENSED, 0,
                           &connection) != 0) {
        run.err << "nwdir: no directory tree " << tree << " is known\n";
        return kNotFound;
    }
    auto password = readPassword(("Password for " + user + " on " + tree + ": ").c_str());
    NWDSCCODE rc = password ? 0 : ERR_NULL_POINTER;
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    if (rc == 0) rc = openCommandContext(context, tree);
    if (rc == 0) rc = NWDSLogin(context.get(), 0, user.c_str(), password->c_str(), 0);
    if (rc == 0) rc = NWDSAuthenticateConn(context.get(), connection);
    NWCCCloseConn(connection);
    if (rc == ERR_FAILED_AUTHENTICATION || rc == ERR_NULL_POINTER) {
        run.err << "nwdir: login to " << tree << " as " << user << " failed\n";
        return kNotFound;
    }
    Invocation onTree{run.words, tree, run.longFormat, run.out, run.err};
    return rc == 0 ? kDone : reportError(onTree, rc, tree);
}

int runLogout(const Invocation& run) {
    Invocation onTree{run.words, run.words[1], run.longFormat, run.out, run.err};
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    NWDSCCODE rc = openCommandContext(context, onTree.tree);
    if (rc == 0) rc = NWDSLogout(context.get());
    return rc == 0 ? kDone : reportError(onTree, rc, onTree.tree);
}

int runWhoami(const Invocation& run) {
    Invocation onTree{run.words, run.words.size() > 1 ? run.words[1] : run.tree, run.longFormat,
                      run.out, run.err};
    nw::kit::ScopedContext context(nw::kit::linkedClient());
    NWDSCCODE rc = openCommandContext(context, onTree.tree);
    char user[MAX_DN_BYTES];
    if (rc == 0) rc = NWDSWhoAmI(context.get(), user);
    if (rc != 0) return reportError(onTree, rc, onTree.tree);
    run.out << user << '\n';
    return kDone;
}

int runHash(const Invocation& run) {
    auto password = readPassword("Password: ");
    if (!password) {
        run.err << "nwdir: no password given\n";
        return kUsage;
    }
    auto hash = nw::kit::hashPassword(password->text());
    if (!hash) {
        run.err << "nwdir: the system gave no random salt\n";
        return kClientError;
    }
    run.out << *hash << '\n';
    return kDone;
}

}  // namespace nwdir
