#include <fstream>

#include "DirectoryFixture.h"
#include "ParamNames.h"

namespace kestrel::browser::test {
namespace {

using Texts = std::vector<std::string>;

struct Binding {
    const char* what;
    ClientLibraryNames names;
};

// Each leaves the layer unbound: a library that is not there, or one that lacks the entry
// points looked up in it.
const Binding kUnbound[] = {
    {"MissingCalwin32", {"libcalwin32-absent.so", "libclxwin32.so", "libnetwin32.so"}},
    {"MissingNetwin32", {"libcalwin32.so", "libclxwin32.so", "libnetwin32-absent.so"}},
    {"CalwinWithoutEntryPoints", {"liblocwin32.so", "libclxwin32.so", "libnetwin32.so"}},
    {"ClxwinWithoutEntryPoints", {"libcalwin32.so", "libcalwin32.so", "libnetwin32.so"}},
    {"NetwinWithoutEntryPoints", {"libcalwin32.so", "libclxwin32.so", "libclxwin32.so"}},
};

void PrintTo(const Binding& binding, std::ostream* out) {
    *out << binding.what;
}

class ClientBinding : public DirectoryTest, public ::testing::WithParamInterface<Binding> {};

// The workstation is logged in, yet an unbound layer must answer as if it were not, which
// also shows that it never reaches the client.
TEST_P(ClientBinding, UnboundLayerActsAsNotLoggedIn) {
    auto bound = loggedIn();
    ui_.messages.clear();
    auto layer = access(GetParam().names);
    EXPECT_FALSE(layer->IsLoaded());

    EXPECT_EQ(layer->IsAuthenticated(), 0);
    std::string user = "previous";
    EXPECT_EQ(layer->IsTreeAuthenticated(kAcme, user), 0);
    EXPECT_EQ(user, "");
    EXPECT_EQ(layer->GetTreeName(), std::nullopt);
    layer->SetTreeAndContext(kAcme, "O=Acme");

    std::vector<ListEntry> entries;
    EXPECT_FALSE(layer->ListContainer("O=Acme", entries));
    Texts texts;
    layer->ScanTrees(texts);
    layer->Search("Workstation", texts, "*", "O=Acme");
    layer->ReadStringListAttr("WM:Network Address", texts, "CN=PC1.OU=Sales.O=Acme");
    EXPECT_TRUE(entries.empty());
    EXPECT_TRUE(texts.empty());
    std::string attribute = "WM:NAME Computer";
    EXPECT_EQ(layer->ReadStringAttr(attribute, "CN=PC1.OU=Sales.O=Acme"), "ERROR");
    EXPECT_EQ(attribute, "WM:NAME Computer");

    EXPECT_EQ(layer->Login(kAcme, kAdmin, kPassword), 1);
    EXPECT_NE(layer->Logout(kAcme), 0);
    EXPECT_NE(bound->IsTreeAuthenticated(kAcme, user), 0);  // the logout never happened
    EXPECT_TRUE(ui_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Libraries, ClientBinding, ::testing::ValuesIn(kUnbound),
                         kestrel::test::NameFromWhat());

using ClientStart = DirectoryTest;

TEST_F(ClientStart, UnreadableDirectoryStartsUnbound) {
    std::ofstream(root_ / "directory.json") << "{ not json";
    auto layer = access();
    EXPECT_FALSE(layer->IsLoaded());
    EXPECT_EQ(layer->Login(kAcme, kAdmin, kPassword), 1);
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace kestrel::browser::test
