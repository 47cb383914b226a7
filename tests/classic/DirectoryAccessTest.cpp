// The edition's own directory access against the client and the sample directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "ClassicFixture.h"

namespace kestrel::classic::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kWs10 = ".CN=WS10.OU=Sales.O=Acme";

class DirectoryAccessTest : public ClassicTest {};

TEST_F(DirectoryAccessTest, AuthenticatedOnlyAfterALogin) {
    DirectoryAccess before(ui_);
    EXPECT_TRUE(before.initialized());
    EXPECT_FALSE(before.isAuthenticated());
    login();
    DirectoryAccess after(ui_);
    EXPECT_TRUE(after.isAuthenticated());
    EXPECT_EQ(after.treeName(), "ACME_TREE");
    EXPECT_EQ(after.currentNameContext(), "[Root]");
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(DirectoryAccessTest, FullNameOfAContextComesFromTheDirectory) {
    login();
    DirectoryAccess directory(ui_);
    EXPECT_EQ(directory.fullNameOfContext("ou=sales.o=acme"), "OU=Sales.O=Acme");
    EXPECT_EQ(directory.fullNameOfContext("OU=Nowhere.O=Acme"), "ERROR");
    EXPECT_EQ(directory.fullNameOfContext(""), "");
}

TEST_F(DirectoryAccessTest, ListingKeepsContainersAndWorkstationsWithTheirPrefixes) {
    login();
    DirectoryAccess directory(ui_);
    std::vector<ListEntry> root, acme, staff;
    ASSERT_TRUE(directory.listContainer("[Root]", root));
    EXPECT_THAT(root, ElementsAre(ListEntry{"O=Acme", 2}, ListEntry{"C=DE", 1}));
    ASSERT_TRUE(directory.listContainer("O=Acme", acme));
    EXPECT_THAT(acme, Contains(ListEntry{"CN=PC1", 16}));
    EXPECT_THAT(acme, Contains(ListEntry{"OU=Sales", 3}));
    EXPECT_THAT(acme, Contains(ListEntry{"L=Munich", 17}));
    for (const auto& entry : acme) EXPECT_NE(entry.name, "CN=Admin");  // users are left out
    ASSERT_TRUE(directory.listContainer("OU=Staff.O=Acme", staff));
    EXPECT_THAT(staff, IsEmpty());
    std::vector<ListEntry> none;
    EXPECT_FALSE(directory.listContainer("OU=Nowhere.O=Acme", none));
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(DirectoryAccessTest, ReaderPicksValuesByModeAndConvertsBySyntax) {
    login();
    DirectoryAccess directory(ui_);
    const char* address = "WM:Network Address";
    EXPECT_EQ(directory.readAttribute(address, kWs10, ReadMode::FirstWithColon),
              "01010000:0060B050F1AC:4006");
    EXPECT_EQ(directory.readAttribute(address, kWs10, ReadMode::FirstWithFullStop), "127.0.1.10");
    EXPECT_EQ(directory.readAttribute("WM:User History", kWs10, ReadMode::ByIndex, 1),
              "CN=Demo.OU=IT.O=Acme");
    EXPECT_EQ(directory.readAttribute("WM:User History", kWs10, ReadMode::ByIndex, 2), "");
    EXPECT_EQ(directory.readAttribute("WM:INV Physical Memory", kWs10, ReadMode::ByIndex),
              "100663296");
    EXPECT_EQ(directory.readAttribute("WM:Last Registered Time", kWs10, ReadMode::ByIndex),
              "29-Jul-1998 17:12:20");
    // A network-address value is no text: nothing matches.
    EXPECT_EQ(
        directory.readAttribute(address, ".CN=WS42.OU=Sales.O=Acme", ReadMode::FirstWithFullStop),
        "");
    EXPECT_EQ(
        directory.readAttribute("WM:NAME Computer", ".CN=IT-SPARE.OU=IT.O=Acme", ReadMode::ByIndex),
        "ERROR");
    EXPECT_EQ(directory.readAttribute("WM:NAME Computer", ".CN=Gone.O=Acme", ReadMode::ByIndex),
              "ERROR");
    EXPECT_THAT(directory.readAttributeNames(kWs10), Contains("WM:NAME Computer"));
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(DirectoryAccessTest, AttributeNamesOfAMissingObjectReportTheRead) {
    login();
    DirectoryAccess directory(ui_);
    EXPECT_THAT(directory.readAttributeNames(".CN=Gone.O=Acme"), IsEmpty());
    EXPECT_THAT(ui_.messages, ElementsAre("NDSFehler in Funktion: NWDSRead."));
}

// A container of 3000 workstations made by the sample generator.
class LargeListingTest : public ClassicTest {
  protected:
    static void SetUpTestSuite() {
        generated_ = new kestrel::test::TempDir;
        std::string command = "python3 '" KESTREL_SOURCE_DIR
                              "/examples/directory/generate.py' --containers 0 "
                              "--workstations 3000 --users 0 --attributes minimal "
                              "--password x -o '" +
                              (*generated_ / "big.json").string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    static void TearDownTestSuite() { delete generated_; }

    void SetUp() override {
        ClassicTest::SetUp();
        useDirectory(*generated_ / "big.json");
        login("BENCH_TREE", "CN=Admin.O=Bench", "x");
    }

    static kestrel::test::TempDir* generated_;
};

kestrel::test::TempDir* LargeListingTest::generated_ = nullptr;

TEST_F(LargeListingTest, SeveralFullReplyBuffersGiveEveryEntryInDirectoryOrder) {
    DirectoryAccess directory(ui_);
    std::vector<ListEntry> entries;
    ASSERT_TRUE(directory.listContainer("O=Bench", entries));
    ASSERT_EQ(entries.size(), 3000u);
    EXPECT_EQ(entries.front().name, "CN=WS000001");
    EXPECT_EQ(entries.back().name, "CN=WS003000");
    EXPECT_THAT(ui_.messages, IsEmpty());
}

TEST_F(LargeListingTest, MoreThan500RepliesStopWithTheMessageAndKeepTheFirst500) {
    // Replies of one entry each: the admin and then the workstations.
    DirectoryAccess directory(ui_, 64);
    std::vector<ListEntry> entries;
    ASSERT_TRUE(directory.listContainer("O=Bench", entries));
    EXPECT_EQ(entries.size(), 499u);
    EXPECT_EQ(entries.back().name, "CN=WS000499");
    EXPECT_THAT(ui_.messages, ElementsAre("500 Iteration reached!\nNWDSList will be aborted now!"));
}

}  // namespace
}  // namespace kestrel::classic::test
