// What only a directory on a server can do to the client: a server that is down or silent,
// restarted in the middle of a listing, referrals to other servers, very large containers,
// wrong passwords, names and filters full of LDAP's special characters, and logins shared
// (and ended) through the user's keyring.
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "ClientFixture.h"
#include "FilterTokens.h"
#include "LdapSchemaSource.h"
#include "nwnet.h"

using namespace nwtest;
using kestrel::test::SlapdServer;

namespace {

std::string capturedStderr(const std::function<void()>& body) {
    kestrel::test::TempDir scratch;
    std::string path = (scratch / "stderr").string();
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    std::FILE* file = std::fopen(path.c_str(), "w");
    dup2(fileno(file), STDERR_FILENO);
    body();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::fclose(file);
    return kestrel::test::readFile(path);
}

class LdapClient : public ClientFixture {
  protected:
    void SetUp() override {
        ClientFixture::SetUp();
        if (!useBackend(Backend::Slapd)) GTEST_SKIP() << SlapdServer::unavailable();
    }

    // A server of the test's own: the sample with `ldif` loaded after it, the client
    // configured for it and logged in as the sample's admin; null when it did not start.
    std::unique_ptr<SlapdServer> sampleWith(const std::filesystem::path& ldif) {
        kestrel::test::writeFile(ldif.parent_path() / "seed.json", sampleDirectory().text());
        auto started = SlapdServer::start(
            {.directory = ldif.parent_path() / "seed.json", .extraLdif = {ldif}});
        EXPECT_TRUE(started) << (started ? "" : started.error());
        if (!started) return nullptr;
        (*started)->writeClientConfig(root() / "nwclient.ini", {.defaultTree = "ACME_TREE"});
        reinitialize();
        EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
        return std::move(*started);
    }

    NWDSCCODE readText(int context, const char* object, const char* attribute,
                       std::vector<std::string>* values) {
        pBuf_T request = nullptr, reply = nullptr;
        NWDSAllocBuf(4096, &request);
        NWDSAllocBuf(4096, &reply);
        NWDSInitBuf(context, DSV_READ, request);
        NWDSPutAttrName(context, request, attribute);
        nint32 iteration = NO_MORE_ITERATIONS;
        NWDSCCODE rc =
            NWDSRead(context, object, DS_ATTRIBUTE_VALUES, false, request, &iteration, reply);
        nuint32 attributes = 0;
        if (rc == 0) NWDSGetAttrCount(context, reply, &attributes);
        for (nuint32 a = 0; a < attributes; ++a) {
            char name[MAX_SCHEMA_NAME_BYTES];
            nuint32 count = 0, syntax = 0;
            NWDSGetAttrName(context, reply, name, &count, &syntax);
            for (nuint32 v = 0; v < count; ++v) {
                char value[4096];
                EXPECT_EQ(NWDSGetAttrVal(context, reply, syntax, value), 0);
                values->push_back(value);
            }
        }
        NWDSFreeBuf(request);
        NWDSFreeBuf(reply);
        return rc;
    }
};

DirectoryBuilder withBigContainer(int size) {
    DirectoryBuilder directory = sampleDirectory();
    directory.tree("ACME_TREE").object("OU=Big.O=Acme", "Organizational Unit");
    for (int i = 0; i < size; ++i)
        directory.object("CN=B" + std::to_string(i) + ".OU=Big.O=Acme", "Workstation");
    return directory;
}

// A server that accepts connections and never answers.
class SilentServer {
  public:
    SilentServer() {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(socket_, 16);
        socklen_t length = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { ::close(socket_); }
    int port() const { return port_; }

  private:
    int socket_ = -1;
    int port_ = 0;
};

double secondsOf(const std::function<void()>& body) {
    auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(LdapClient, AServerThatIsDownIsReportedOnceAsNoConnection) {
    useDirectory(sampleDirectory(), {.defaultTree = "ACME_TREE"});
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    server()->stop();
    std::vector<std::string> names;
    std::string said = capturedStderr([&] {
        EXPECT_EQ(list(openContext(), "O=Acme", &names), ERR_NO_CONNECTION);
        EXPECT_EQ(list(openContext(), "O=Acme", &names), ERR_NO_CONNECTION);
    });
    EXPECT_NE(said.find("nwclient: ldap://127.0.0.1:" + std::to_string(server()->port())),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find('\n'), said.rfind('\n')) << "said once: " << said;
    // A login to a server that is down is no wrong password.
    capturedStderr(
        [&] { EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), ERR_NO_CONNECTION); });
    ASSERT_TRUE(server()->restart());
    EXPECT_EQ(list(openContext(), "O=Acme", &names), 0);
    EXPECT_FALSE(names.empty());
}

TEST_F(LdapClient, ASilentServerCostsTheTimeOutNotAHang) {
    SilentServer silent;
    kestrel::test::writeFile(
        root() / "nwclient.ini",
        "[Client]\nDirectory=ldap://127.0.0.1:" + std::to_string(silent.port()) +
            "/dc=ACME_TREE,dc=kestrel\nDefaultTree=ACME_TREE\nTimeout=1\n");
    reinitialize();
    double took = secondsOf([&] {
        capturedStderr(
            [&] { EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), ERR_NO_CONNECTION); });
    });
    EXPECT_LT(took, 5.0);
}

TEST_F(LdapClient, AListingGoesOnAfterTheServerRestarted) {
    useDirectory(withBigContainer(600));
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names;
    ASSERT_EQ(list(openContext("ACME_TREE", "OU=Big.O=Acme"), "", &names, 1024,
                   [&](int reply) {
                       if (reply == 2) {
                           ASSERT_TRUE(server()->restart());
                       }
                   }),
              0);
    // Nothing lost, nothing twice (in the server's own order).
    std::vector<std::string> expected;
    for (int i = 0; i < 600; ++i) expected.push_back("CN=B" + std::to_string(i));
    EXPECT_EQ(ordered(names), ordered(expected));
}

TEST_F(LdapClient, AHundredThousandEntriesArePagedToTheCallersBuffer) {
    constexpr int kSize = 100000;
    // The objects go straight into slapd as LDIF: the converter is not what is measured.
    kestrel::test::TempDir scratch;
    {
        std::ofstream ldif(scratch / "big.ldif");
        const std::string base = "ou=Big,o=Acme,dc=ACME_TREE,dc=kestrel";
        ldif << "dn: " << base << "\nobjectClass: organizationalUnit\nou: Big\n\n";
        for (int i = 0; i < kSize; ++i)
            ldif << "dn: cn=W" << i << "," << base << "\nobjectClass: workstation\ncn: W" << i
                 << "\n\n";
    }
    auto own = sampleWith(scratch / "big.ldif");
    ASSERT_TRUE(own);
    std::vector<std::string> names;
    int replies = 0;
    ASSERT_EQ(list(openContext("ACME_TREE", "OU=Big.O=Acme"), "", &names, 4096,
                   [&](int reply) { replies = reply; }),
              0);
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kSize));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
    EXPECT_EQ(names.front(), "CN=W0");
    EXPECT_GT(replies, kSize / 200);  // each reply holds what fits 4096 bytes, no more
}

TEST_F(LdapClient, ReferralsToOtherServersAreNotFollowed) {
    kestrel::test::TempDir scratch;
    kestrel::test::writeFile(
        scratch / "referral.ldif",
        "dn: ou=Elsewhere,o=Acme,dc=ACME_TREE,dc=kestrel\nobjectClass: referral\n"
        "objectClass: extensibleObject\nou: Elsewhere\n"
        "ref: ldap://other.invalid/ou=Elsewhere,o=Acme,dc=ACME_TREE,dc=kestrel\n\n");
    auto own = sampleWith(scratch / "referral.ldif");
    ASSERT_TRUE(own);
    // The listing holds what this server keeps; the reference is left out.
    std::vector<std::string> names;
    ASSERT_EQ(list(openContext("ACME_TREE", "O=Acme"), "", &names), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "OU=Elsewhere"), 0);
    EXPECT_NE(std::count(names.begin(), names.end(), "OU=Sales"), 0);
    std::vector<std::string> values;
    std::string said = capturedStderr([&] {
        EXPECT_EQ(readText(openContext(), "CN=X.OU=Elsewhere.O=Acme", "Description", &values),
                  ERR_ALL_REFERRALS_FAILED);
    });
    EXPECT_NE(said.find("other.invalid"), std::string::npos) << said;
}

TEST_F(LdapClient, WrongPasswordsAndEmptyOnesFailAlikeAndStoreNothing) {
    useDirectory(sampleDirectory());
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "wrong"), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(login("ACME_TREE", "CN=Nobody.O=Acme", "secret"), ERR_FAILED_AUTHENTICATION);
    // An empty password would be an anonymous bind that the server lets through.
    EXPECT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", ""), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(login("ACME_TREE", "CN=Admin,O=Acme", "secret"), ERR_FAILED_AUTHENTICATION);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
    EXPECT_FALSE(std::filesystem::exists(sessionFile()));
}

TEST_F(LdapClient, ALogoutInAnotherProgramEndsTheLoginHere) {
    useDirectory(sampleDirectory());
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names;
    ASSERT_EQ(list(openContext(), "O=Acme", &names), 0);
    pid_t child = fork();
    if (child == 0) {
        NWDSContextHandle context = 0;
        NWDSCreateContextHandle(&context);
        NWDSSetContext(context, DCK_TREE_NAME, "ACME_TREE");
        _exit(NWDSLogout(context) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(list(openContext(), "O=Acme", &names), ERR_NO_ACCESS);
    EXPECT_EQ(NWIsDSAuthenticated(), 0);
}

TEST_F(LdapClient, HostileNamesAndFilterCharactersStayValues) {
    DirectoryBuilder directory = sampleDirectory();
    const std::vector<std::string> hostile = {
        "a,b+c", "x=y;z", "<tag>", "#hash", "quo\"te", "back\\slash", "M\xC3\xBCnchen", "*)(cn=*"};
    directory.tree("ACME_TREE").object("OU=Odd.O=Acme", "Organizational Unit");
    for (const std::string& value : hostile)
        directory.object("CN=" + value + ".OU=Odd.O=Acme", "Workstation",
                         {{"WM:NAME Computer", {value}}});
    useDirectory(directory);
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    std::vector<std::string> names, expected;
    ASSERT_EQ(list(openContext("ACME_TREE", "OU=Odd.O=Acme"), "", &names), 0);
    for (const std::string& value : hostile) {
        // The client's names escape a backslash; each reads back by the name it was given.
        std::string escaped;
        for (char c : value) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        expected.push_back("CN=" + escaped);
        std::vector<std::string> values;
        EXPECT_EQ(readText(openContext("ACME_TREE", "OU=Odd.O=Acme"), expected.back().c_str(),
                           "WM:NAME Computer", &values),
                  0)
            << expected.back();
        EXPECT_EQ(values, std::vector<std::string>{value});
    }
    EXPECT_EQ(ordered(names), ordered(expected));

    // A value full of filter characters finds its one object, not every object.
    int context = openContext("ACME_TREE", "OU=Odd.O=Acme");
    pBuf_T filter = nullptr, reply = nullptr;
    NWDSAllocBuf(4096, &filter);
    NWDSAllocBuf(4096, &reply);
    NWDSInitBuf(context, DSV_SEARCH_FILTER, filter);
    pFilter_Cursor_T cursor = nullptr;
    NWDSAllocFilter(&cursor);
    ASSERT_EQ(addTokens(cursor, {{FTOK_ANAME, "WM:NAME Computer", SYN_CI_STRING},
                                 {FTOK_EQ},
                                 {FTOK_AVAL, "*)(cn=*", SYN_CI_STRING},
                                 {FTOK_OR},
                                 {FTOK_NAME_CONTAINS},
                                 {FTOK_AVAL, "\\\\", SYN_CI_STRING},
                                 {FTOK_END}}),
              0);
    ASSERT_EQ(NWDSPutFilter(context, filter, cursor, nullptr), 0);
    nint32 iteration = NO_MORE_ITERATIONS, searched = 0;
    ASSERT_EQ(NWDSSearch(context, "", DS_SEARCH_SUBTREE, false, filter, DS_ATTRIBUTE_NAMES, false,
                         nullptr, &iteration, 0, &searched, reply),
              0);
    nuint32 count = 0;
    NWDSGetObjectCount(context, reply, &count);
    std::vector<std::string> found;
    for (nuint32 i = 0; i < count; ++i) {
        char name[MAX_DN_BYTES];
        NWDSGetObjectName(context, reply, name, nullptr, nullptr);
        found.push_back(name);
    }
    EXPECT_EQ(ordered(found), ordered(std::vector<std::string>{"CN=back\\\\slash", "CN=*)(cn=*"}));
    NWDSFreeBuf(filter);
    NWDSFreeBuf(reply);
}

TEST_F(LdapClient, TheSchemaIsKeptForLaterProgramsWhileTheServerSaysItIsUnchanged) {
    useDirectory(sampleDirectory());
    ASSERT_EQ(login("ACME_TREE", "CN=Admin.O=Acme", "secret"), 0);
    auto read = [&](const char* attribute) {
        std::vector<std::string> values;
        readText(openContext(), "CN=WS17.OU=Sales.O=Acme", attribute, &values);
        return values;
    };
    ASSERT_EQ(read("WM:NAME Computer"), std::vector<std::string>{"WS17"});
    std::string url = server()->url();
    std::filesystem::path cache = nw::schemaCacheFile(url.substr(0, url.size() - 1));  // no '/'

    ASSERT_TRUE(std::filesystem::exists(cache));
    EXPECT_EQ(std::filesystem::status(cache).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // The next program takes the names from the copy (here one made to differ)...
    std::string kept = kestrel::test::readFile(cache);
    std::string renamed = kept;
    for (std::string_view from : {"WM:NAME Computer", "wm:name computer"}) {
        std::size_t name = renamed.find(from);
        ASSERT_NE(name, std::string::npos) << from;
        renamed.replace(name, from.size(),
                        from == "WM:NAME Computer" ? "WM:NAME Computor" : "wm:name computor");
    }
    kestrel::test::writeFile(cache, renamed);
    reinitialize();
    EXPECT_EQ(read("WM:NAME Computor"), std::vector<std::string>{"WS17"});

    // ...until the server's schema has another time than the copy's: then from the server,
    // and what was asked for under the copy's names is asked for again.
    std::string stale = kept;
    std::size_t stamp = stale.find("Z", stale.find("cn=Subschema"));
    ASSERT_NE(stamp, std::string::npos);
    stale.replace(stamp - 14, 15, "19990101000000Z");
    for (std::size_t at = 0; (at = stale.find("wMNAMEComputer", at)) != std::string::npos;)
        stale.replace(at, 14, "wMNAMEComputex");
    kestrel::test::writeFile(cache, stale);
    reinitialize();
    EXPECT_EQ(read("WM:NAME Computer"), std::vector<std::string>{"WS17"});
    EXPECT_EQ(kestrel::test::readFile(cache), kept);
}
