// nwdir against the bundled sample directory, run as the real program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "ClientWorld.h"
#include "SlapdServer.h"
#include "TestSupport.h"
#include "nwkit/PasswordHash.h"

namespace {

struct Result {
    int exit;
    std::string out;
    std::string err;
};

class Nwdir : public ::testing::Test {
  protected:
    void SetUp() override { world_.useSample(); }

    // `environment`: assignments put before the command, e.g. "LDAPTLS_CACERT=/x/cert.pem".
    Result run(const std::string& arguments, const std::string& input = "",
               const std::string& environment = "") {
        kestrel::test::writeFile(root_ / "in", input);
        std::string command = environment + " " KESTREL_BINARY_DIR "/bin/nwdir " + arguments +
                              " <" + (root_ / "in").string() + " >" + (root_ / "out").string() +
                              " 2>" + (root_ / "err").string();
        int status = std::system(command.c_str());
        return {WEXITSTATUS(status), kestrel::test::readFile(root_ / "out"),
                kestrel::test::readFile(root_ / "err")};
    }
    void loginAsAdmin() { ASSERT_EQ(run("login ACME_TREE CN=Admin.O=Acme", "acme\n").exit, 0); }

    kestrel::test::ClientWorld world_;
    std::filesystem::path root_ = world_.root();
};

}  // namespace

TEST_F(Nwdir, UsageErrorsExitWithTwo) {
    auto help = run("--help");
    EXPECT_EQ(help.exit, 0);
    EXPECT_NE(help.out.find("Usage: nwdir"), std::string::npos);
    EXPECT_EQ(run("").exit, 2);
    EXPECT_EQ(run("frobnicate").exit, 2);
    EXPECT_EQ(run("list").exit, 2);
    EXPECT_EQ(run("search Workstation x").exit, 2);
    EXPECT_EQ(run("--tree").exit, 2);
    EXPECT_EQ(run("-x trees").exit, 2);
}

TEST_F(Nwdir, TreesNeedNoLoginButListingDoes) {
    auto trees = run("trees");
    EXPECT_EQ(trees.exit, 0);
    EXPECT_EQ(trees.out, "ACME_TREE\nGLOBEX_TREE\n");
    auto list = run("list O=Acme");
    EXPECT_EQ(list.exit, 1);
    EXPECT_NE(list.err.find("not logged in"), std::string::npos);
}

TEST_F(Nwdir, LoginListReadSearchLogout) {
    auto wrong = run("login ACME_TREE CN=Admin.O=Acme", "nope\n");
    EXPECT_EQ(wrong.exit, 1);
    EXPECT_EQ(wrong.err, "nwdir: login to ACME_TREE as CN=Admin.O=Acme failed\n");
    loginAsAdmin();
    EXPECT_EQ(run("whoami").out, "CN=Admin.O=Acme\n");
    EXPECT_EQ(run("whoami GLOBEX_TREE").exit, 1);

    auto list = run("--long list O=Acme");
    EXPECT_EQ(list.exit, 0);
    EXPECT_NE(list.out.find("OU=Sales.O=Acme\tOrganizational Unit\n"), std::string::npos);
    EXPECT_NE(list.out.find("CN=PC1.O=Acme\tWorkstation\n"), std::string::npos);
    EXPECT_EQ(run("list OU=Nowhere.O=Acme").exit, 1);

    auto read = run("read CN=WS17.OU=Sales.O=Acme \"WM:Network Address\"");
    EXPECT_EQ(read.exit, 0);
    EXPECT_EQ(read.out, "01010000:0060B084AD1F:4006\n127.0.1.17\n");
    auto labelled =
        run("read CN=WS42.OU=Sales.O=Acme \"wm:network address\" \"WM:INV Physical Memory\"");
    EXPECT_EQ(labelled.exit, 0);
    EXPECT_NE(labelled.out.find("WM:Network Address: IP 127.0.1.42\n"), std::string::npos)
        << labelled.out;
    auto missing = run("read CN=IT-SPARE.OU=IT.O=Acme \"WM:NAME OS\"");
    EXPECT_EQ(missing.exit, 1);
    EXPECT_EQ(run("read CN=WS17.OU=Sales.O=Acme \"WM:NAME OS\" Nonsense").exit, 1);

    // Case matters in the pattern; the whole name, containers included, is searched.
    auto pc = run("search Workstation pc O=Acme");
    EXPECT_EQ(pc.exit, 0);
    EXPECT_EQ(pc.out, "CN=pc7.OU=West.OU=Sales.O=Acme\n");
    auto sales = run("search Workstation Sales1 [Root]");
    EXPECT_EQ(sales.out, "CN=Sales1.OU=HQ.O=Acme\n");
    EXPECT_EQ(run("search Workstation NoSuchName O=Acme").exit, 1);

    EXPECT_EQ(run("logout ACME_TREE").exit, 0);
    EXPECT_EQ(run("whoami ACME_TREE").exit, 1);
}

// Network addresses of every kind the directory keeps are decoded, TCP and UDP ones (a port,
// then an IP address) with both parts.
TEST_F(Nwdir, TcpAddressesShowTheirHostAndPort) {
    ASSERT_EQ(run("login GLOBEX_TREE CN=Admin.O=Globex", "globex\n").exit, 0);
    auto read = run("--tree GLOBEX_TREE read CN=GLX-FS1.O=Globex \"Network Address\" Version");
    EXPECT_EQ(read.exit, 0) << read.err;
    EXPECT_NE(read.out.find("Network Address: TCP 127.1.0.2:524\n"), std::string::npos) << read.out;
}

TEST_F(Nwdir, ABrokenConfigurationIsAClientFailure) {
    world_.useDirectoryText("{\"trees\": [");
    auto result = run("trees");
    EXPECT_EQ(result.exit, 3);
    EXPECT_NE(result.err.find("directory.json:1:"), std::string::npos) << result.err;
}

TEST_F(Nwdir, HashMakesAVerifiableSha512CryptHash) {
    auto result = run("hash", "correct horse\n");
    ASSERT_EQ(result.exit, 0);
    ASSERT_EQ(result.out.rfind("$6$", 0), 0u);
    std::string hash = result.out.substr(0, result.out.size() - 1);
    EXPECT_TRUE(nw::kit::verifyPassword("correct horse", hash));
    EXPECT_FALSE(nw::kit::verifyPassword("correct horse ", hash));
    EXPECT_NE(run("hash", "correct horse\n").out, result.out);  // salted
    EXPECT_EQ(run("hash").exit, 2);
}

// Over ldaps:// and StartTLS the server is trusted through the certificate the user names,
// never without it: a login to a server whose certificate does not verify fails.
TEST_F(Nwdir, TlsConnectionsTrustOnlyAVerifiedServer) {
    using kestrel::test::SlapdServer;
    if (auto why = SlapdServer::unavailable(); !why.empty()) GTEST_SKIP() << why;
    auto server = SlapdServer::start({.tls = true});
    ASSERT_TRUE(server) << server.error();
    const SlapdServer& slapd = **server;
    const std::string base = slapd.treeUrl("ACME_TREE").substr(slapd.url().size());
    const std::string trusted = "LDAPTLS_CACERT=" + slapd.caCertificate().string();
    const std::string configs[] = {
        "[Client]\nDirectory=" + slapd.ldapsUrl() + base + "\nDefaultTree=ACME_TREE\n",
        "[Client]\nDirectory=" + slapd.url() + base + "\nTLS=yes\nDefaultTree=ACME_TREE\n",
    };
    for (const std::string& config : configs) {
        SCOPED_TRACE(config);
        kestrel::test::writeFile(world_.clientConfig(), config);
        auto refused = run("login ACME_TREE CN=Admin.O=Acme", "acme\n", "LDAPTLS_CACERT=");
        EXPECT_EQ(refused.exit, 1);
        EXPECT_NE(refused.err.find("certificate is not trusted"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("nwdir: no connection to ACME_TREE\n"), std::string::npos)
            << refused.err;
        EXPECT_EQ(run("whoami ACME_TREE", "", trusted).exit, 1);

        ASSERT_EQ(run("login ACME_TREE CN=Admin.O=Acme", "acme\n", trusted).exit, 0);
        auto list = run("list O=Acme", "", trusted);
        EXPECT_EQ(list.exit, 0) << list.err;
        EXPECT_NE(list.out.find("OU=Sales"), std::string::npos) << list.out;
        EXPECT_EQ(run("logout ACME_TREE", "", trusted).exit, 0);
    }
}
