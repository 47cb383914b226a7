// The workstation actions on their own, without a window: they act on the object and the
// tree they are handed, and read through the directory layer they are given.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ClientWorld.h"
#include "RecordingPrograms.h"
#include "ScriptedUi.h"
#include "directory/CNDSAccess.h"
#include "platform/ShellLink.h"
#include "workstation/WorkstationActions.h"

namespace kestrel::browser::test {
namespace {

namespace fs = std::filesystem;

// A probe that sends nothing: it keeps the address asked for and answers with a reply.
struct ReplyingProbe : platform::EchoProbe {
    explicit ReplyingProbe(std::vector<std::uint32_t>& log) : asked(log) {}
    platform::EchoResult send(const platform::EchoRequest& request) override {
        asked.push_back(request.address);
        return {platform::EchoStatus::Reply, 7, 64, {}, {}};
    }
    std::vector<std::uint32_t>& asked;
};

class ActionsWithoutWindow : public ::testing::Test {
  protected:
    ActionsWithoutWindow() { world_.useSample(); }
    static fs::path made(const fs::path& folder) {
        fs::create_directory(folder);
        return folder;
    }
    // The server callback, counting how often it is asked.
    std::function<std::string()> server(std::string answer) {
        return [this, answer] {
            ++serverAsked_;
            return answer;
        };
    }

    kestrel::test::ClientWorld world_;
    fs::path start_ = made(world_.root() / "start");
    kestrel::test::ScopedCurrentDir inStart_{start_};
    RecordingPrograms programs_{start_};
    ScriptedUi ui_;
    WorkstationActions actions_{ui_};
    int serverAsked_ = 0;
    // Names of no directory at all: the actions take them as given.
    const SelectedObject elsewhere_{"CN=PC9.OU=Lab.O=Nowhere", "PC9.Lab.Nowhere", "SOME_TREE"};
};

TEST_F(ActionsWithoutWindow, ProgramsStartForTheObjectAndTreeHandedOver) {
    // Each start is awaited: the programs run detached and could record out of order.
    actions_.startFunction(WorkstationFunction::RemoteControl, elsewhere_, server("127.0.0.8"));
    ASSERT_EQ(programs_.waitFor(1).size(), 1u);
    actions_.startFunction(WorkstationFunction::Inventory, elsewhere_, server("127.0.0.8"));
    auto starts = programs_.waitFor(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0],
              (Argv{"WVIEWNT.EXE", "-wPC9.Lab.Nowhere", "-nSOME_TREE", "-cRemote Control"}));
    EXPECT_EQ(starts[1], (Argv{"DESKTOP.EXE", "-wPC9.Lab.Nowhere", "-nSOME_TREE", "-ip127.0.0.8",
                               "-cInventory"}));
    // Only the function that needs the server asks for it.
    EXPECT_EQ(serverAsked_, 1);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ActionsWithoutWindow, WithoutAServerTheInventoryIsRefused) {
    actions_.startFunction(WorkstationFunction::InventoryQuery, elsewhere_, server(""));
    EXPECT_EQ(serverAsked_, 1);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{
                                "You must specify the ZENworks Inventory Database Server before "
                                "querying the Inventory!"});
    // The next start is the first one recorded.
    actions_.startFunction(WorkstationFunction::Chat, elsewhere_, server(""));
    auto starts = programs_.waitFor(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].back(), "-cChat");
    EXPECT_EQ(serverAsked_, 1);
}

TEST_F(ActionsWithoutWindow, AShortcutNamesTheObjectAndTreeHandedOver) {
    ui_.shortcut = [](ShortcutDialogState& dialog) {
        dialog.chosen = WorkstationFunction::RemoteView;
        return true;
    };
    actions_.createShortcut(elsewhere_);
    const auto link = platform::readShellLink(world_.desktop() / "Z.E.N.works Shortcuts" /
                                              "Remote View" / "PC9.Lab.Nowhere.lnk");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->arguments, R"(-w"PC9.Lab.Nowhere" -n"SOME_TREE" -c"Remote View")");
    EXPECT_EQ(ui_.messages,
              std::vector<std::string>{"A shortcut in folder 'Z.E.N.works Shortcuts\\Remote "
                                       "View' has been created for workstation "
                                       "'PC9.Lab.Nowhere' on the Desktop!"});
}

TEST_F(ActionsWithoutWindow, DetailsAndPingReadTheTypedNameThroughTheLayerGiven) {
    CNDSAccess access(ui_);
    ASSERT_EQ(access.Login("ACME_TREE", "CN=Demo.OU=IT.O=Acme", "demo"), 0);
    access.SetTreeAndContext("ACME_TREE", "[Root]");
    // The typeless name and the tree are not what the reads use.
    const SelectedObject ws17{"CN=WS17.OU=Sales.O=Acme", "unused", "unused"};
    actions_.showInfo(access, ws17);
    actions_.showInventory(access, ws17);
    ASSERT_EQ(ui_.infos.size(), 1u);
    EXPECT_EQ(ui_.infos[0].cn, "CN=WS17.OU=Sales.O=Acme");
    EXPECT_EQ(ui_.infos[0].computerName, "WS17");
    ASSERT_EQ(ui_.inventories.size(), 1u);
    EXPECT_EQ(ui_.inventories[0].cn, "CN=WS17.OU=Sales.O=Acme");

    std::vector<std::uint32_t> asked;
    actions_.setEchoProbeFactory([&asked] { return std::make_unique<ReplyingProbe>(asked); });
    actions_.ipPing(access, ws17);
    EXPECT_EQ(asked, std::vector<std::uint32_t>{::inet_addr("127.0.1.17")});
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Reply from 127.0.1.17: Time=7ms TTL=64"});
    EXPECT_EQ(ui_.waitCursorDepth, 0);
}

}  // namespace
}  // namespace kestrel::browser::test
