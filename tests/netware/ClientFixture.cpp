#include "ClientFixture.h"

#include "nwcalls.h"
#include "nwnet.h"

namespace nwtest {

using kestrel::test::Json;
namespace value = kestrel::test::value;

DirectoryBuilder sampleDirectory() {
    DirectoryBuilder directory;
    directory.tree("ACME_TREE")
        .object("O=Acme", "Organization")
        .object("OU=Sales.O=Acme", "Organizational Unit")
        .object("CN=WS17.OU=Sales.O=Acme", "Workstation",
                {{"WM:NAME Computer", {"WS17"}},
                 {"WM:Network Address", {"01010000:00A0C9123456:4006", "127.0.0.17"}},
                 {"WM:Last Registered Time", {value::time(915239109)}},
                 {"WM:INV Physical Memory", {value::integer(67108864)}},
                 {"ZEN:INV NIC Type", {value::octets("457468657221")}},
                 {"Network Address", {value::netAddress(1, "7f000011")}},
                 {"Workstation Class", {value::typedString("Workstation", 20)}}})
        .object("CN=NB1.OU=Sales.O=Acme", "Workstation")
        .user("CN=Admin.O=Acme")
        .object("CN=PC1.OU=Sales.O=Acme", "Workstation")
        .user("CN=jdoe.OU=Sales.O=Acme")
        .object("CN=Everyone.OU=Sales.O=Acme", "Group")
        .object("OU=Staff.O=Acme", "Organizational Unit")
        .user("CN=asmith.OU=Staff.O=Acme")
        .object("CN=Staff.OU=Staff.O=Acme", "Group")
        .object("C=DE", "Country")
        .object("S=Hessen.C=DE", "Locality")
        .object("L=Frankfurt.S=Hessen.C=DE", "Locality")
        .object("CN=FFM1.L=Frankfurt.S=Hessen.C=DE", "Workstation");
    directory.tree("OTHER_TREE").object("O=Other", "Organization").user("CN=Admin.O=Other");
    return directory;
}

namespace {

// One server for the tests of a run, loaded again only when a test wants other objects:
// starting slapd costs more than most tests.
struct SharedServer {
    std::unique_ptr<kestrel::test::SlapdServer> server;
    std::string seed;
};

SharedServer& shared() {
    static SharedServer instance;
    return instance;
}

kestrel::test::SlapdServer* serveDirectory(const std::string& text) {
    SharedServer& current = shared();
    if (current.server && current.server->running() && current.seed == text)
        return current.server.get();
    current.server.reset();
    kestrel::test::TempDir scratch;
    kestrel::test::writeFile(scratch / "seed.json", text);
    auto started = kestrel::test::SlapdServer::start({.directory = scratch / "seed.json"});
    EXPECT_TRUE(started) << (started ? "" : started.error());
    if (!started) return nullptr;
    current.server = std::move(*started);
    current.seed = text;
    return current.server.get();
}

}  // namespace

std::string PrintToString(Backend backend) {
    return backend == Backend::Json ? "Json" : "Slapd";
}

bool ClientFixture::useBackend(Backend backend) {
    backend_ = backend;
    return backend == Backend::Json || kestrel::test::SlapdServer::unavailable().empty();
}

kestrel::test::SlapdServer* ClientFixture::server() const {
    return backend_ == Backend::Slapd ? shared().server.get() : nullptr;
}

void ClientFixture::TearDown() {
    // Logins to a server live in the user's keyring beyond the test: end them.
    if (backend_ == Backend::Slapd)
        for (const char* tree : {"ACME_TREE", "OTHER_TREE"}) NWDSLogout(openContext(tree));
    for (int context : contexts_) NWDSFreeContext(context);
}

void ClientFixture::useDirectory(const DirectoryBuilder& directory, ClientConfig config) {
    useDirectoryText(directory.text(), std::move(config));
}

void ClientFixture::useDirectoryText(const std::string& text, ClientConfig config) {
    config.lineEnd = "\r\n";
    world_.useDirectoryText(text, config);
    if (backend_ == Backend::Slapd) {
        kestrel::test::SlapdServer* slapd = serveDirectory(text);
        if (slapd != nullptr) slapd->writeClientConfig(world_.clientConfig(), config);
    }
    reinitialize();
}

void BackendFixture::SetUp() {
    ClientFixture::SetUp();
    if (!useBackend(GetParam())) GTEST_SKIP() << kestrel::test::SlapdServer::unavailable();
}

void ClientFixture::reinitialize() {
    // Files rewritten within one clock tick keep their time stamp; passing through another
    // configuration makes the client read them again for sure.
    {
        kestrel::test::ScopedEnv elsewhere("NWCLIENT_CONFIG", (root() / "none.ini").string());
        NWCallsInit(nullptr, nullptr);
    }
    NWCallsInit(nullptr, nullptr);
}

int ClientFixture::openContext(const std::string& tree, const std::string& nameContext) {
    NWDSContextHandle context = 0;
    EXPECT_EQ(NWDSCreateContextHandle(&context), 0);
    EXPECT_EQ(NWDSSetContext(context, DCK_TREE_NAME, tree.c_str()), 0);
    EXPECT_EQ(NWDSSetContext(context, DCK_NAME_CONTEXT, nameContext.c_str()), 0);
    contexts_.push_back(context);
    return context;
}

int ClientFixture::login(const std::string& tree, const std::string& user,
                         const std::string& password) {
    return NWDSLogin(openContext(tree), 0, user.c_str(), password.c_str(), 0);
}

NWDSCCODE ClientFixture::list(int context, const char* container, std::vector<std::string>* names,
                              std::size_t size, const std::function<void(int)>& afterReply) {
    pBuf_T buffer = nullptr;
    NWDSAllocBuf(size, &buffer);
    nint32 iteration = NO_MORE_ITERATIONS;
    NWDSCCODE rc = 0;
    int replies = 0;
    do {
        if ((rc = NWDSList(context, container, &iteration, buffer)) != 0) break;
        nuint32 count = 0;
        NWDSGetObjectCount(context, buffer, &count);
        for (nuint32 i = 0; i < count; ++i) {
            char name[MAX_DN_BYTES];
            EXPECT_EQ(NWDSGetObjectName(context, buffer, name, nullptr, nullptr), 0);
            names->push_back(name);
        }
        if (afterReply) afterReply(++replies);
    } while (iteration != NO_MORE_ITERATIONS);
    NWDSFreeBuf(buffer);
    return rc;
}

}  // namespace nwtest
