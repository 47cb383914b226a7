// Logins, the shared session, identity, trees and connections, through the C entry points.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "ClientFixture.h"
#include "nwcalls.h"
#include "nwclxcon.h"
#include "nwnet.h"

using namespace nwtest;

namespace {

class Login : public BackendFixture {
  protected:
    void SetUp() override {
        BackendFixture::SetUp();
        if (IsSkipped()) return;
        useDirectory(sampleDirectory());
    }
};

std::string whoAmI(int context) {
    char name[MAX_DN_BYTES] = "";
    return NWDSWhoAmI(context, name) == 0 ? name : "<none>";
}

}  // namespace

TEST_P(Login, WrongPasswordAndUnknownUserFailAlike) {
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "wrong"), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(login("ACME_TREE", "CN=Nobody.O=Acme", "secret"), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(login("ACME_TREE", "CN=WS17.OU=Sales.O=Acme", "secret"), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(login("ACME_TREE", "", ""), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    EXPECT_FALSE(std::filesystem::exists(sessionFile()));
}

TEST_P(Login, ALoginIsSharedThroughThePrivateSessionFile) {
    // Names compare without regard to case; a leading full stop names from the root.
    EXPECT_EQ(login("ACME_TREE", ".cn=admin.o=acme", "secret"), 0);
    EXPECT_NE(NWIsDSAuthenticated(), 0);
    struct stat info {};
    ASSERT_EQ(stat(sessionFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::ifstream session(sessionFile());
    std::string content((std::istreambuf_iterator<char>(session)), {});
    EXPECT_EQ(content.find("secret"), std::string::npos);
    EXPECT_NE(content.find("CN=Admin.O=Acme"), std::string::npos);

    int acme = openContext("ACME_TREE");
    EXPECT_EQ(whoAmI(acme), "CN=Admin.O=Acme");
    EXPECT_EQ(NWDSCanDSAuthenticate(acme), 0);
    EXPECT_EQ(NWDSCanDSAuthenticate(openContext("OTHER_TREE")), ERR_NOT_LOGGED_IN);
    EXPECT_EQ(whoAmI(openContext("OTHER_TREE")), "<none>");

    nuint32 flags = DCV_TYPELESS_NAMES;
    NWDSSetContext(acme, DCK_FLAGS, &flags);
    EXPECT_EQ(whoAmI(acme), "Admin.Acme");
}

TEST_P(Login, AnotherProgramsLoginAndLogoutAreSeen) {
    pid_t child = fork();
    if (child == 0) {
        NWDSContextHandle context = 0;
        NWDSCreateContextHandle(&context);
        NWDSSetContext(context, DCK_TREE_NAME, "OTHER_TREE");
        _exit(NWDSLogin(context, 0, "Admin.Other", "secret", 0) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(NWIsDSAuthenticated(), 0);
    int other = openContext("OTHER_TREE");
    EXPECT_EQ(whoAmI(other), "CN=Admin.O=Other");
    // The first login moves the default tree there, as the configured one has no login.
    NWDSContextHandle fresh = 0;
    ASSERT_EQ(NWDSCreateContextHandle(&fresh), 0);
    char tree[MAX_TREE_NAME_BYTES];
    NWDSGetContext(fresh, DCK_TREE_NAME, tree);
    EXPECT_STREQ(tree, "OTHER_TREE");
    NWDSFreeContext(fresh);

    EXPECT_EQ(NWDSLogout(other), 0);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    EXPECT_EQ(NWDSLogout(other), 0);  // logging out twice is no error
    EXPECT_EQ(NWDSLogout(openContext("NO_TREE")), ERR_NO_CONNECTION);
}

TEST_P(Login, ConcurrentLoginsToDifferentTreesAreBothKept) {
    std::vector<pid_t> children;
    for (const char* tree : {"ACME_TREE", "OTHER_TREE"}) {
        for (int i = 0; i < 3; ++i) {
            pid_t child = fork();
            if (child == 0) {
                NWDSContextHandle context = 0;
                NWDSCreateContextHandle(&context);
                NWDSSetContext(context, DCK_TREE_NAME, tree);
                const char* user =
                    std::string(tree) == "ACME_TREE" ? ".CN=Admin.O=Acme" : ".CN=Admin.O=Other";
                _exit(NWDSLogin(context, 0, user, "secret", 0) == 0 ? 0 : 1);
            }
            children.push_back(child);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(NWDSCanDSAuthenticate(openContext("ACME_TREE")), 0);
    EXPECT_EQ(NWDSCanDSAuthenticate(openContext("OTHER_TREE")), 0);
}

TEST_P(Login, ADamagedSessionFileMeansNoLogins) {
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::ofstream(sessionFile()) << "{ not json";
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    EXPECT_NE(NWIsDSAuthenticated(), 0);
}

TEST_P(Login, AnEditedSessionFileCannotOverrunNameBuffers) {
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::string huge(5000, 'X');
    std::ofstream(sessionFile()) << "{\"defaultTree\": \"" << huge
                                 << "\", \"logins\": {\"ACME_TREE\": "
                                 << "{\"user\": \"CN=" << huge << "\"}, \"" << huge
                                 << "\": {\"user\": \"CN=A\"}}}";
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    NWDSContextHandle context = NWDSCreateContext();
    char tree[MAX_TREE_NAME_BYTES];
    ASSERT_EQ(NWDSGetContext(context, DCK_TREE_NAME, tree), 0);
    EXPECT_STREQ(tree, "ACME_TREE");
    EXPECT_EQ(whoAmI(context), "<none>");
    NWDSFreeContext(context);
}

TEST_P(Login, TreesAreScannedThroughThePrimaryConnection) {
    nuint32 ref = 0;
    ASSERT_EQ(NWCCGetPrimConnRef(&ref), 0);
    NWCONN_HANDLE connection = 0;
    ASSERT_EQ(NWCCOpenConnByRef(ref, NWCC_OPEN_LICENSED, 0, &connection), 0);
    int context = openContext();
    std::vector<std::string> trees;
    char tree[MAX_TREE_NAME_BYTES];
    for (nint32 index = -1; NWDSScanForAvailableTrees(context, connection, "*", &index, tree) == 0;)
        trees.push_back(tree);
    EXPECT_EQ(trees, (std::vector<std::string>{"ACME_TREE", "OTHER_TREE"}));
    nint32 index = -1;
    ASSERT_EQ(NWDSScanForAvailableTrees(context, connection, "oth*", &index, tree), 0);
    EXPECT_STREQ(tree, "OTHER_TREE");
    EXPECT_NE(NWDSScanForAvailableTrees(context, connection + 100, "*", &index, tree), 0);
    EXPECT_EQ(NWCCCloseConn(connection), 0);
    EXPECT_NE(NWCCCloseConn(connection), 0);
}

TEST_P(Login, AConnectionToTheTreeIsAuthenticatedAfterLogin) {
    NWCONN_HANDLE connection = 0;
    ASSERT_EQ(NWCCOpenConnByName(0, "acme_tree", NWCC_NAME_FORMAT_NDS_TREE, 1, 0, &connection), 0);
    EXPECT_NE(NWCCOpenConnByName(0, "NO_TREE", NWCC_NAME_FORMAT_NDS_TREE, 1, 0, &connection), 0);
    EXPECT_NE(NWCCOpenConnByName(0, "ACME_TREE", NWCC_NAME_FORMAT_BIND, 1, 0, &connection), 0);
    int context = openContext("ACME_TREE");
    EXPECT_EQ(NWDSAuthenticateConn(context, connection), ERR_NOT_LOGGED_IN);
    ASSERT_EQ(NWDSLogin(context, 0, "CN=Admin.O=Acme", "secret", 0), 0);
    EXPECT_EQ(NWDSAuthenticateConn(context, connection), 0);
    EXPECT_NE(NWDSAuthenticateConn(openContext("OTHER_TREE"), connection), 0);

    nuint32 ref = 0;
    ASSERT_EQ(NWCCGetConnRef(connection, &ref), 0);
    NWCCConnInfo info{};
    ASSERT_EQ(NWCCGetAllConnRefInfo(ref, NWCC_INFO_LEVEL_ALL, &info), 0);
    EXPECT_STREQ(info.treeName, "ACME_TREE");
    EXPECT_STREQ(info.userName, "CN=Admin.O=Acme");
    EXPECT_EQ(info.authenticationState, 1u);
    EXPECT_EQ(info.openCount, 1u);

    char user[MAX_DN_BYTES];
    nuint16 type = 0;
    EXPECT_EQ(NWGetConnectionInformation(connection, 0, user, &type, nullptr, nullptr), 0);
    EXPECT_STREQ(user, "CN=Admin.O=Acme");
    EXPECT_EQ(type, OT_USER);
    EXPECT_EQ(NWCCSysCloseConnRef(ref), 0);
    EXPECT_NE(NWCCGetConnRef(connection, &ref), 0);
}

TEST_P(Login, ConnectionReferencesCanBeScanned) {
    std::vector<nuint32> refs;
    nuint32 iterator = 0, ref = 0;
    while (NWCCScanConnRefs(&iterator, &ref) == 0) refs.push_back(ref);
    EXPECT_EQ(refs, (std::vector<nuint32>{1, 2}));
}

KESTREL_FOR_BOTH_BACKENDS(Login);
