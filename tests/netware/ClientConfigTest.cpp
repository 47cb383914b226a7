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

}  // namespace
