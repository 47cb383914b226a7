#include <cstdio>

#include "DirectoryFixture.h"

namespace kestrel::browser {

void PrintTo(const ListEntry& entry, std::ostream* out) {
    *out << entry.name << '/' << entry.classCode;
}

namespace test {
namespace {

using Entries = std::vector<ListEntry>;

using ContainerListing = DirectoryTest;

TEST_F(ContainerListing, ShowsContainersWithPrefixAndWorkstationsByCommonName) {
    auto layer = loggedIn();
    Entries entries;
    ASSERT_TRUE(layer->ListContainer("O=Acme", entries));
    // The administrator (a user) is left out.
    EXPECT_EQ(entries, (Entries{{"OU=Sales", 3},
                                {"OU=HQ", 3},
                                {"OU=Staff", 3},
                                {"L=Berlin", 17},
                                {"NB1", 16},
                                {"OU=Big", 3}}));

    entries.clear();
    ASSERT_TRUE(layer->ListContainer("OU=Sales.O=Acme", entries));
    EXPECT_EQ(entries, (Entries{{"PC1", 16}, {"PC2", 16}}));  // the printer is left out

    entries.clear();
    ASSERT_TRUE(layer->ListContainer("[Root]", entries));
    EXPECT_EQ(entries, (Entries{{"O=Acme", 2}, {"C=DE", 1}}));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ContainerListing, UsersAndGroupsOnlyGiveAnEmptySuccess) {
    auto layer = loggedIn();
    Entries entries;
    EXPECT_TRUE(layer->ListContainer("OU=Staff.O=Acme", entries));
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ContainerListing, LargeContainerArrivesCompleteInDirectoryOrder) {
    auto layer = loggedIn();
    Entries entries{{"kept", 0}};  // the list is appended to
    ASSERT_TRUE(layer->ListContainer("OU=Big.O=Acme", entries));
    ASSERT_EQ(entries.size(), kBigContainerSize + 1u);
    EXPECT_EQ(entries.front().name, "kept");
    for (int i = 1; i <= kBigContainerSize; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "WS%03d", i);
        ASSERT_EQ(entries[static_cast<std::size_t>(i)], (ListEntry{name, 16}));
    }
}

TEST_F(ContainerListing, FailuresInsertNothing) {
    auto layer = access();
    Entries entries;
    // Without a login the directory refuses silently.
    EXPECT_FALSE(layer->ListContainer("O=Acme", entries));
    EXPECT_TRUE(ui_.messages.empty());

    layer = loggedIn();
    EXPECT_FALSE(layer->ListContainer("OU=Nowhere.O=Acme", entries));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(layer->ListContainer(std::string(300, 'x'), entries));
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{"Error: Set Context."}));
    EXPECT_TRUE(entries.empty());

    // No container means nothing to list, which is not a failure.
    EXPECT_TRUE(layer->ListContainer("", entries));
    EXPECT_TRUE(entries.empty());
}

using TreeAndContext = DirectoryTest;

TEST_F(TreeAndContext, SwitchingTreeListsThatTree) {
    auto layer = loggedIn();
    EXPECT_EQ(layer->GetTreeName(), kAcme);  // the configured default

    layer->SetTreeAndContext(kGlobex, "O=Globex");
    EXPECT_EQ(layer->GetTreeName(), kGlobex);
    Entries entries;
    EXPECT_FALSE(layer->ListContainer("O=Globex", entries));  // no login to that tree yet
    ASSERT_EQ(layer->Login(kGlobex, "CN=Boss.O=Globex", kPassword), 0);
    ASSERT_TRUE(layer->ListContainer("O=Globex", entries));
    EXPECT_EQ(entries, (Entries{{"G1", 16}}));
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace test
}  // namespace kestrel::browser
