// The directory file converted to LDIF and served by a private slapd: exact DNs and values
// as an LDAP client sees them, binds with the users' passwords, names that need escaping,
// and the fixture's own promises (restart on the same port with the same data).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "ByteCodec.h"
#include "ChildProcess.h"
#include "ClientWorld.h"
#include "DirectoryBuilder.h"
#include "SlapdServer.h"

namespace {

namespace fs = std::filesystem;
using kestrel::test::ClientConfig;
using kestrel::test::DirectoryBuilder;
using kestrel::test::Json;
using kestrel::test::SlapdSeed;
using kestrel::test::SlapdServer;
using kestrel::test::TempDir;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::UnorderedElementsAre;

using Entry = std::map<std::string, std::vector<std::string>>;  // "dn" and every attribute

const fs::path kTools = "/usr/bin";

// What an ldap-utils program printed and its exit status.
struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun runTool(const std::vector<std::string>& argv) {
    TempDir scratch;
    const fs::path log = scratch / "out";
    const pid_t pid = kestrel::test::spawnChild(argv, log);
    std::optional<int> status =
        pid > 0 ? kestrel::test::waitChild(pid, std::chrono::seconds(30)) : std::optional<int>(-1);
    if (!status) kestrel::test::endChild(pid);
    return {status.value_or(-1), kestrel::test::readFile(log)};
}

// Entries of an LDIF answer, base64 values decoded.
std::vector<Entry> parseLdif(const std::string& text) {
    std::vector<Entry> entries;
    std::istringstream in(text);
    bool fresh = true;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            fresh = true;
            continue;
        }
        if (fresh) entries.emplace_back();
        fresh = false;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value;
        if (line.compare(colon, 2, "::") == 0) {
            value = nw::decodeBase64(line.substr(colon + 3)).value_or("<bad base64>");
        } else {
            value = line.substr(std::min(colon + 2, line.size()));
        }
        entries.back()[line.substr(0, colon)].push_back(value);
    }
    return entries;
}

std::vector<Entry> search(const SlapdServer& server, const std::string& base,
                          const std::string& scope, const std::string& filter,
                          const std::vector<std::string>& attributes = {}) {
    std::vector<std::string> argv{(kTools / "ldapsearch").string(),
                                  "-x",
                                  "-LLL",
                                  "-o",
                                  "ldif_wrap=no",
                                  "-H",
                                  server.url(),
                                  "-b",
                                  base,
                                  "-s",
                                  scope,
                                  filter};
    argv.insert(argv.end(), attributes.begin(), attributes.end());
    const ToolRun run = runTool(argv);
    EXPECT_EQ(run.status, 0) << run.output;
    return parseLdif(run.output);
}

int bindStatus(const SlapdServer& server, const std::string& dn, const std::string& password) {
    return runTool({(kTools / "ldapwhoami").string(), "-x", "-H", server.url(), "-D", dn, "-w",
                    password})
        .status;
}

class SlapdSeedTest : public testing::Test {
  protected:
    void SetUp() override {
        if (std::string why = SlapdServer::unavailable(); !why.empty()) GTEST_SKIP() << why;
        if (!fs::exists(kTools / "ldapsearch")) GTEST_SKIP() << "ldap-utils is not installed";
    }

    std::unique_ptr<SlapdServer> start(const SlapdSeed& seed = {}) {
        auto server = SlapdServer::start(seed);
        EXPECT_TRUE(server) << (server ? "" : server.error());
        return server ? std::move(*server) : nullptr;
    }
};

TEST_F(SlapdSeedTest, SampleWorkstationHasItsValuesInEverySyntax) {
    const auto server = start();
    ASSERT_TRUE(server);
    const std::string acme = server->treeBase("ACME_TREE");
    EXPECT_EQ(acme, "dc=ACME_TREE,dc=kestrel");
    const auto ws17 = search(*server, "cn=WS17,ou=Sales,o=Acme," + acme, "base", "(objectClass=*)");
    ASSERT_EQ(ws17.size(), 1U);
    const Entry& e = ws17[0];
    EXPECT_THAT(e.at("dn"), ElementsAre("cn=WS17,ou=Sales,o=Acme,dc=ACME_TREE,dc=kestrel"));
    EXPECT_THAT(e.at("objectClass"), ElementsAre("workstation", "kestrelObject"));
    EXPECT_THAT(e.at("wMNAMEComputer"), ElementsAre("WS17"));
    EXPECT_THAT(e.at("wMNetworkAddress"), ElementsAre("01010000:0060B084AD1F:4006", "127.0.1.17"));
    EXPECT_THAT(e.at("wMUserHistory"),
                ElementsAre("CN=jdoe.OU=Sales.O=Acme", "CN=Demo.OU=IT.O=Acme",
                            "CN=asmith.OU=Sales.O=Acme"));
    EXPECT_THAT(e.at("wMLastRegisteredTime"), ElementsAre("19970304103159Z"));
    EXPECT_THAT(e.at("wMINVPhysicalMemory"), ElementsAre("67108864"));
    // Octets arrive as the bytes themselves, the terminating zero included.
    EXPECT_THAT(e.at("zENINVVideoType"), ElementsAre(std::string("Vesta Trio 2 MB PCI\0", 20)));

    const auto ws42 = search(*server, acme, "sub", "(cn=WS42)", {"wMNetworkAddress"});
    ASSERT_EQ(ws42.size(), 1U);
    // A network address value in an otherwise textual attribute: its subtype, type#bytes.
    EXPECT_FALSE(ws42[0].contains("wMNetworkAddress"));
    EXPECT_THAT(ws42[0].at("wMNetworkAddressNetAddress"),
                ElementsAre(std::string("1#\x7f\x00\x01\x2a", 6)));
}

TEST_F(SlapdSeedTest, SampleKeepsTreesNestingAndReferences) {
    const auto server = start();
    ASSERT_TRUE(server);
    ASSERT_EQ(server->trees().size(), 2U);
    EXPECT_EQ(server->trees()[1].first, "GLOBEX_TREE");
    EXPECT_EQ(
        search(*server, server->treeBase("ACME_TREE"), "sub", "(objectClass=workstation)", {"1.1"})
                .size() +
            search(*server, server->treeBase("GLOBEX_TREE"), "sub", "(objectClass=workstation)",
                   {"1.1"})
                .size(),
        66U);
    const auto ffm05 = search(*server, server->suffix(), "sub", "(cn=FFM05)", {"1.1"});
    ASSERT_EQ(ffm05.size(), 1U);
    EXPECT_THAT(ffm05[0].at("dn"),
                ElementsAre("cn=FFM05,ou=Warehouse,o=Acme Logistik,l=Frankfurt,st=Hessen,c=DE,"
                            "dc=ACME_TREE,dc=kestrel"));
    // A distinguished-name value names the entry's DN in the same tree.
    const auto alias = search(*server, server->treeBase("ACME_TREE"), "sub", "(cn=Administrator)");
    ASSERT_EQ(alias.size(), 1U);
    EXPECT_THAT(alias[0].at("objectClass"), ElementsAre("kestrelAlias", "kestrelObject"));
    EXPECT_THAT(alias[0].at("kestrelAliasedObjectName"),
                ElementsAre("cn=Admin,o=Acme,dc=ACME_TREE,dc=kestrel"));
    const auto eng03 =
        search(*server, server->treeBase("GLOBEX_TREE"), "sub", "(cn=ENG03)", {"workstationClass"});
    ASSERT_EQ(eng03.size(), 1U);
    EXPECT_THAT(eng03[0].at("workstationClass"), ElementsAre("Workstation"));
}

TEST_F(SlapdSeedTest, UsersBindWithTheSamplePasswordsOnly) {
    const auto server = start();
    ASSERT_TRUE(server);
    const std::string demo = "cn=Demo,ou=IT,o=Acme," + server->treeBase("ACME_TREE");
    EXPECT_EQ(bindStatus(*server, demo, "demo"), 0);
    EXPECT_EQ(bindStatus(*server, demo, "Demo"), 49);  // invalidCredentials
    EXPECT_EQ(bindStatus(*server, "cn=Admin,o=Globex," + server->treeBase("GLOBEX_TREE"), "globex"),
              0);
    EXPECT_EQ(bindStatus(*server, server->adminDn(), server->adminPassword()), 0);
    // The hashes serve binds; nobody reads them.
    const auto entry = search(*server, demo, "base", "(objectClass=*)", {"userPassword", "sn"});
    ASSERT_EQ(entry.size(), 1U);
    EXPECT_FALSE(entry[0].contains("userPassword"));
    EXPECT_TRUE(entry[0].contains("sn"));
}

TEST_F(SlapdSeedTest, HostileNamesAndValuesArriveUnchanged) {
    TempDir scratch;
    const std::vector<std::string> names{R"(a,b+c=d"e\f<g>;h)", "#lead", " blank ", "Müller",
                                         "x=y"};
    DirectoryBuilder directory;
    directory.tree("ACME_TREE").object("O=Acme", "Organization");
    for (const std::string& name : names) {
        directory.object("CN=" + name + ".O=Acme", "Workstation",
                         Json{{"WM:NAME Computer", {" " + name, ":colon", "Grüße\nzwei"}}});
    }
    directory.tree("ODD TREE").object("O=Odd", "Organization");
    kestrel::test::writeFile(scratch / "hostile.json", directory.text());
    const auto server = start({.directory = scratch / "hostile.json"});
    ASSERT_TRUE(server);

    const auto children = search(*server, "o=Acme," + server->treeBase("ACME_TREE"), "one",
                                 "(objectClass=workstation)", {"cn", "wMNAMEComputer"});
    std::vector<std::string> found;
    for (const Entry& child : children) {
        found.push_back(child.at("cn").at(0));
        EXPECT_THAT(child.at("wMNAMEComputer"),
                    UnorderedElementsAre(" " + child.at("cn").at(0), ":colon", "Grüße\nzwei"));
    }
    EXPECT_THAT(found, UnorderedElementsAre(names[0], names[1], names[2], names[3], names[4]));
    // The escaped DN names exactly that entry.
    EXPECT_EQ(search(*server, R"(cn=a\,b\+c\=d\"e\\f\<g\>\;h,o=Acme,dc=ACME_TREE,dc=kestrel)",
                     "base", "(objectClass=*)", {"1.1"})
                  .size(),
              1U);
    EXPECT_EQ(server->treeBase("ODD TREE"), "dc=ODD TREE,dc=kestrel");
    EXPECT_EQ(server->treeUrl("ODD TREE"), server->url() + "dc=ODD%20TREE,dc=kestrel");
}

TEST_F(SlapdSeedTest, RestartServesTheSameDataOnTheSamePort) {
    const auto server = start();
    ASSERT_TRUE(server);
    const std::string url = server->url();
    server->stop();
    EXPECT_FALSE(server->running());
    EXPECT_NE(runTool({(kTools / "ldapsearch").string(), "-x", "-H", url, "-b", server->suffix(),
                       "-s", "base", "-o", "nettimeout=5"})
                  .status,
              0);
    const auto restarted = server->restart();
    ASSERT_TRUE(restarted) << (restarted ? "" : restarted.error());
    EXPECT_EQ(server->url(), url);
    EXPECT_EQ(search(*server, server->treeBase("ACME_TREE"), "sub", "(cn=WS17)", {"1.1"}).size(),
              1U);
}

TEST_F(SlapdSeedTest, ExtraLdifLoadsAfterTheDirectory) {
    TempDir scratch;
    kestrel::test::writeFile(scratch / "extra.ldif",
                             "dn: cn=Extra,o=Acme,dc=ACME_TREE,dc=kestrel\n"
                             "objectClass: workstation\ncn: Extra\n\n");
    const auto server = start({.extraLdif = {scratch / "extra.ldif"}});
    ASSERT_TRUE(server);
    EXPECT_EQ(search(*server, server->suffix(), "sub", "(cn=Extra)", {"1.1"}).size(), 1U);
}

TEST_F(SlapdSeedTest, ABrokenSeedFailsTheStartWithTheConvertersWords) {
    TempDir scratch;
    DirectoryBuilder directory;
    directory.tree("ACME_TREE").object("O=Acme", "Organization").object("CN=T.O=Acme", "Toaster");
    kestrel::test::writeFile(scratch / "bad.json", directory.text());
    const auto server = SlapdServer::start({.directory = scratch / "bad.json"});
    ASSERT_FALSE(server);
    EXPECT_THAT(server.error(), HasSubstr("object CN=T.O=Acme: class 'Toaster'"));
}

TEST(SlapdClientConfig, NamesTheServerAndEveryTree) {
    if (std::string why = SlapdServer::unavailable(); !why.empty()) GTEST_SKIP() << why;
    auto server = SlapdServer::start();
    ASSERT_TRUE(server) << server.error();
    const std::string url = (*server)->url();
    EXPECT_EQ((*server)->clientConfigText({.defaultTree = "ACME_TREE", .nameContext = "[Root]"}),
              "[Client]\nDirectory=" + url + "\nDefaultTree=ACME_TREE\nNameContext=[Root]\n" +
                  "[Trees]\nACME_TREE=" + url + "dc=ACME_TREE,dc=kestrel\nGLOBEX_TREE=" + url +
                  "dc=GLOBEX_TREE,dc=kestrel\n");
}

// The schema a server loads is generated from the converter's list; a list change without
// regenerating the shipped file would load entries the shipped schema rejects.
TEST(LdapSchemaFile, ShippedSchemaIsTheGeneratedOne) {
    if (!fs::exists("/usr/bin/python3")) GTEST_SKIP() << "python3 is not installed";
    TempDir scratch;
    const fs::path examples = fs::path(KESTREL_SOURCE_DIR) / "examples/directory";
    const auto done =
        kestrel::test::runChild({"/usr/bin/python3", (examples / "to_ldif.py").string(), "--schema",
                                 "-o", (scratch / "kestrel.schema").string()},
                                scratch / "log", std::chrono::seconds(60));
    ASSERT_TRUE(done) << done.error();
    EXPECT_EQ(kestrel::test::readFile(scratch / "kestrel.schema"),
              kestrel::test::readFile(examples / "kestrel.schema"));
}

}  // namespace
