// The client configuration file: defaults, paths relative to the file, unreadable files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ClientConfig.h"
#include "ExpectedMatchers.h"
#include "TestSupport.h"

using namespace nw;
using kestrel::test::FailsWith;
using kestrel::test::Succeeded;

namespace {

class ClientConfigFile : public ::testing::Test {
  protected:
    kestrel::test::TempDir temp_;
    std::filesystem::path root_ = temp_.path();
    kestrel::test::ScopedEnvironment environment_;
};

TEST_F(ClientConfigFile, AMissingFileConfiguresNoDirectory) {
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    auto config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    EXPECT_TRUE(config->directory.empty());
    EXPECT_EQ(config->sessionFile, root_ / "state" / "kestrel" / "session");
}

TEST_F(ClientConfigFile, PathsAreTakenFromTheFilesFolder) {
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\r\nDirectory=dir/sample.json\r\nDefaultTree=ACME_TREE\r\n"
                             "NameContext=O=Acme\r\nSessionFile=/var/tmp/session\r\n");
    auto config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    EXPECT_EQ(config->directory, root_ / "dir" / "sample.json");
    EXPECT_EQ(config->defaultTree, "ACME_TREE");
    EXPECT_EQ(config->nameContext, "O=Acme");
    EXPECT_EQ(config->sessionFile, "/var/tmp/session");
}

TEST_F(ClientConfigFile, AnUnreadableFileIsAnError) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    auto file = root_ / "nwclient.ini";
    kestrel::test::writeFile(file, "[Client]\r\n");
    chmod(file.c_str(), 0);
    EXPECT_THAT(
        readClientConfig(file),
        FailsWith(file.string() + ": cannot read the client configuration: Permission denied"));
}

TEST_F(ClientConfigFile, AnLdapServerWithTreesAndDefaults) {
    kestrel::test::writeFile(
        root_ / "nwclient.ini",
        "[Client]\r\nDirectory=LDAP://127.0.0.1:3890/\r\nTLS=yes\r\nTimeout=3\r\n"
        "[Trees]\r\nACME_TREE=ldap://127.0.0.1:3890/dc=ACME%20TREE,dc=kestrel\r\n"
        "GLOBEX_TREE=dc=GLOBEX_TREE,dc=kestrel\r\n"
        "SECURE=ldaps://ldap.example.com/o=Secure\r\n");
    auto config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    EXPECT_TRUE(config->directory.empty());
    EXPECT_TRUE(config->startTls);
    EXPECT_EQ(config->timeoutSeconds, 3);
    ASSERT_EQ(config->ldapTrees.size(), 3u);
    EXPECT_EQ(config->ldapTrees[0].name, "ACME_TREE");
    EXPECT_EQ(config->ldapTrees[0].servers, std::vector<std::string>{"ldap://127.0.0.1:3890"});
    EXPECT_EQ(config->ldapTrees[0].baseDn, "dc=ACME TREE,dc=kestrel");  // URL escapes undone
    // A bare base DN lies on the Directory server; ldaps has its own default port.
    EXPECT_EQ(config->ldapTrees[1].servers, std::vector<std::string>{"ldap://127.0.0.1:3890"});
    EXPECT_EQ(config->ldapTrees[1].baseDn, "dc=GLOBEX_TREE,dc=kestrel");
    EXPECT_EQ(config->ldapTrees[2].servers,
              std::vector<std::string>{"ldaps://ldap.example.com:636"});
}

TEST_F(ClientConfigFile, AnLdapUrlAloneIsOneTreeNamedByTheDefault) {
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\nDirectory=ldap://localhost:389/dc=ACME_TREE,dc=kestrel\n"
                             "DefaultTree=ACME_TREE\n");
    auto config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    ASSERT_EQ(config->ldapTrees.size(), 1u);
    EXPECT_EQ(config->ldapTrees[0].name, "ACME_TREE");
    EXPECT_EQ(config->ldapTrees[0].baseDn, "dc=ACME_TREE,dc=kestrel");
    EXPECT_FALSE(config->startTls);
    EXPECT_EQ(config->timeoutSeconds, 10);
}

// Servers that replicate each other: several URLs, separated by blanks, for one tree.
TEST_F(ClientConfigFile, ATreeMayNameSeveralServers) {
    kestrel::test::writeFile(
        root_ / "nwclient.ini",
        "[Client]\r\nDirectory=ldap://a.example:389/ ldap://[::1]:3890/\r\nPlainBind=Yes\r\n"
        "[Trees]\r\nACME_TREE=ldap://a.example/dc=ACME_TREE,dc=kestrel\t"
        "ldaps://b.example/dc=ACME_TREE,dc=kestrel  ldap://c.example/\r\n"
        "GLOBEX_TREE=dc=GLOBEX_TREE,dc=kestrel\r\n");
    auto config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    EXPECT_TRUE(config->plainBind);
    ASSERT_EQ(config->ldapTrees.size(), 2u);
    EXPECT_EQ(config->ldapTrees[0].servers,
              (std::vector<std::string>{"ldap://a.example:389", "ldaps://b.example:636",
                                        "ldap://c.example:389"}));
    EXPECT_EQ(config->ldapTrees[0].baseDn, "dc=ACME_TREE,dc=kestrel");
    // A base DN alone lies on every Directory server, an IPv6 one in brackets.
    EXPECT_EQ(config->ldapTrees[1].servers,
              (std::vector<std::string>{"ldap://a.example:389", "ldap://[::1]:3890"}));

    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\nDirectory=ldap://a/dc=T ldap://b/dc=T\nDefaultTree=T\n");
    config = readClientConfig(root_ / "nwclient.ini");
    ASSERT_THAT(config, Succeeded());
    ASSERT_EQ(config->ldapTrees.size(), 1u);
    EXPECT_EQ(config->ldapTrees[0].servers.size(), 2u);
    EXPECT_FALSE(config->plainBind);

    auto file = root_ / "nwclient.ini";
    kestrel::test::writeFile(file,
                             "[Client]\nDirectory=ldap://a/dc=T ldap://b/dc=U\nDefaultTree=T\n");
    EXPECT_THAT(readClientConfig(file),
                FailsWith(file.string() + ": Directory=ldap://a/dc=T ldap://b/dc=U: the servers "
                                          "of one tree name different base DNs"));
    kestrel::test::writeFile(file, "[Client]\nDirectory=ldap://a/\n[Trees]\nT=ldap://a/dc=T x\n");
    EXPECT_THAT(readClientConfig(file),
                FailsWith(file.string() + ": T=ldap://a/dc=T x: not a usable LDAP URL"));
}

TEST_F(ClientConfigFile, UnusableLdapSettingsNameTheKey) {
    auto file = root_ / "nwclient.ini";
    kestrel::test::writeFile(file, "[Client]\nDirectory=ldap://localhost/\n");
    EXPECT_THAT(readClientConfig(file),
                FailsWith(file.string() +
                          ": Directory=ldap://localhost/: without a [Trees] section the URL needs "
                          "a base DN and DefaultTree the tree's name"));
    kestrel::test::writeFile(file, "[Client]\nDirectory=ldap://localhost/\n[Trees]\nT=ldap://h/\n");
    EXPECT_THAT(readClientConfig(file),
                FailsWith(file.string() + ": T=ldap://h/: not an LDAP URL with a base DN"));
    // A search URL is no tree: its filter would be ignored without a word.
    kestrel::test::writeFile(file, "[Client]\nDirectory=ldap://h/o=A??sub?(cn=x)\nDefaultTree=T\n");
    EXPECT_THAT(readClientConfig(file),
                FailsWith(file.string() + ": Directory=ldap://h/o=A??sub?(cn=x): not a usable "
                                          "LDAP URL"));
}

}  // namespace
