#include "SystemStoreFixture.h"
#include "messages/MessageStrings.h"
#include "system/IpEntries.h"
#include "system/IpFileOperations.h"

namespace kestrel::setup::test {
namespace {

constexpr const char* kHead = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";
// Sections are counted only for a product with records.
constexpr const char* kCountedHead =
    "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n"
    "MachineKeyName=AcmeTools\n";
constexpr const char* kHosts = "C:\\windows\\system32\\drivers\\etc\\hosts";
constexpr const char* kServices = "C:\\windows\\system32\\drivers\\etc\\services";

class IpFiles : public SystemStoreFixture {
  protected:
    bool run(const char* section, Direction direction) {
        IpFileOperations ipFiles(services());
        return runSection(services().context, ipFiles.reading(), section, direction);
    }
};

TEST(IpEntries, MatchByFirstWordOrByTheFirstTwo) {
    TextFileLines lines = TextFileLines::parse("ftp 21/tcp\r\nFTP 21/udp\r\n# c\r\n");
    addIpEntry(lines, "ftp  21/TCP  fsp # again", 2);
    addIpEntry(lines, "acme 4711/tcp", 2);
    EXPECT_EQ(lines.serialise(),
              "ftp  21/TCP  fsp # again\r\nFTP 21/udp\r\n# c\r\nacme 4711/tcp\r\n");
    removeIpEntry(lines, "ftp", 1);  // one word: every ftp line
    EXPECT_EQ(lines.serialise(), "# c\r\nacme 4711/tcp\r\n");
    // An entry that is only part of a two-word key matches nothing.
    removeIpEntry(lines, "acme", 2);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(ipDatabaseOf("ip hosts:second")->file, "Hosts");
    EXPECT_EQ(ipDatabaseOf("IP Protocols")->keyWords, 1u);
    EXPECT_FALSE(ipDatabaseOf("IP Printers"));
}

TEST_F(IpFiles, ANewFileComesAndGoesWithTheSection) {
    loadScript(std::string(kHead) +
               "[IP Hosts]\n127.0.0.17 ws17 # %App%\n10.0.0.1 gate\n[IP LMHosts:second]\n"
               "10.0.0.2 PDC #PRE\n");
    const auto installed = [&] {
        EXPECT_EQ(read(kHosts), "127.0.0.17 ws17 # C:\\Acme\r\n10.0.0.1 gate\r\n");
        EXPECT_EQ(ui_.titles.front(), "Working on IP");
    };
    EXPECT_TRUE(
        roundTrip([&](Direction direction) { return run("IP Hosts", direction); }, installed));
    EXPECT_TRUE(roundTrip([&](Direction direction) { return run("IP LMHosts:second", direction); },
                          [&] {
                              EXPECT_EQ(read("C:\\windows\\system32\\drivers\\etc\\LMHosts"),
                                        "10.0.0.2 PDC #PRE\r\n");
                          }));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(IpFiles, EntriesReplaceTheirLineAndDashesRemoveOnlyWhenInstalling) {
    put(kServices, "echo 7/tcp\nftp 21/tcp\nold 99/tcp\n");
    loadScript(std::string(kHead) + "[IP Services]\nFTP 21/tcp ftpd\n-old 99/tcp\nacme 4711/tcp\n");
    ASSERT_TRUE(run("IP Services", Direction::Install));
    EXPECT_EQ(read(kServices), "echo 7/tcp\nFTP 21/tcp ftpd\nacme 4711/tcp\n");
    // Every entry of the section goes; what it replaced or removed does not come back.
    ASSERT_TRUE(run("IP Services", Direction::Uninstall));
    EXPECT_EQ(read(kServices), "echo 7/tcp\n");
}

TEST_F(IpFiles, NineXRootsKeepTheFilesInTheWindowsFolder) {
    makeWindows98();
    loadScript(std::string(kHead) + "[IP Networks]\nacme 10.1\n");
    ASSERT_TRUE(run("IP Networks", Direction::Install));
    EXPECT_EQ(read("C:\\windows\\Networks"), "acme 10.1\r\n");
    EXPECT_EQ(read("C:\\windows\\system32\\drivers\\etc\\networks"), "<none>");
}

TEST_F(IpFiles, TheLastProductUsingTheSectionTakesTheEntriesAway) {
    loadScript(std::string(kCountedHead) + "[IP Protocols]\nacme 201 ACME\n");
    ASSERT_TRUE(run("IP Protocols", Direction::Install));
    ASSERT_TRUE(run("IP Protocols", Direction::Install));  // a second product
    ASSERT_TRUE(run("IP Protocols", Direction::Uninstall));
    EXPECT_EQ(read("C:\\windows\\system32\\drivers\\etc\\protocol"), "acme 201 ACME\r\n");
    ASSERT_TRUE(run("IP Protocols", Direction::Uninstall));
    EXPECT_EQ(read("C:\\windows\\system32\\drivers\\etc\\protocol"), "<none>");
}

TEST_F(IpFiles, AFileThatCannotBeMadeIsSaidAndFailsTheSection) {
    std::filesystem::create_directories(host(kHosts));
    loadScript(std::string(kHead) + "[IP Hosts]\n10.0.0.1 gate\n");
    EXPECT_FALSE(run("IP Hosts", Direction::Install));
    ASSERT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotCreateFile});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Cannot create file 'C:\\windows\\system32\\Drivers\\Etc\\Hosts'!");
}

}  // namespace
}  // namespace kestrel::setup::test
