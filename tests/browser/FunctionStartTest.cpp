#include <filesystem>

#include "RecordingPrograms.h"
#include "SampleBrowserFixture.h"

namespace kestrel::browser::test {
namespace {

class FunctionStart : public SampleBrowserTest {
  protected:
    void SetUp() override {
        SampleBrowserTest::SetUp();
        logInAsDemo();
    }
    std::filesystem::path settingsFile() const {
        return world_.configHome() / "kestrel" / "KESTRELSCOPE.INI";
    }

    // The programs are found in the current directory, as in the browser's start folder.
    std::filesystem::path start_ = madeFolder(root_ / "start");
    RecordingPrograms programs_{start_};
    kestrel::test::ScopedCurrentDir inStart_{start_};
};

TEST_F(FunctionStart, EachFunctionStartsItsProgramWithTheExactArguments) {
    app_.inventoryServer = "127.0.0.5";
    auto& browser = openBrowser("OU=Sales.O=Acme");
    const std::pair<WorkstationFunction, Argv> expected[] = {
        {WorkstationFunction::PingAgent,
         {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cPing"}},
        {WorkstationFunction::RemoteControl,
         {"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote Control"}},
        {WorkstationFunction::RemoteView,
         {"WVIEWNT.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote View"}},
        {WorkstationFunction::FileTransfer,
         {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cFile Transfer"}},
        {WorkstationFunction::RemoteExecute,
         {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cRemote Execute"}},
        {WorkstationFunction::Chat, {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cChat"}},
        {WorkstationFunction::Diagnostics,
         {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-cDiagnostics"}},
        {WorkstationFunction::Inventory,
         {"DESKTOP.EXE", "-wWS17.Sales.Acme", "-nACME_TREE", "-ip127.0.0.5", "-cInventory"}},
        // The query names the selected container.
        {WorkstationFunction::InventoryQuery,
         {"DESKTOP.EXE", "-wEast.Sales.Acme", "-nACME_TREE", "-ip127.0.0.5", "-cQuery"}},
    };
    std::size_t count = 0;
    for (const auto& [function, argv] : expected) {
        SCOPED_TRACE(workstationFunction(function).button);
        ASSERT_NE(selectChild(function == WorkstationFunction::InventoryQuery ? "OU=East" : "WS17"),
                  nullptr);
        browser.startFunction(function);
        auto starts = programs_.waitFor(++count);
        ASSERT_EQ(starts.size(), count);
        EXPECT_EQ(starts.back(), argv);
    }
    EXPECT_TRUE(ui_.shownServers.empty());
    EXPECT_TRUE(ui_.messages.empty());

    // A function whose button is disabled does nothing: the query on a workstation, the
    // workstation functions on a container.
    selectChild("WS17");
    browser.startFunction(WorkstationFunction::InventoryQuery);
    selectChild("OU=West");
    browser.startFunction(WorkstationFunction::RemoteControl);
    EXPECT_TRUE(ui_.messages.empty());
    // A program that cannot be started says which and why; the others still start.
    std::filesystem::remove(start_ / "DESKTOP.EXE");
    selectChild("WS17");
    browser.startFunction(WorkstationFunction::Chat);
    browser.startFunction(WorkstationFunction::RemoteView);
    auto starts = programs_.waitFor(count + 1);
    ASSERT_EQ(starts.size(), count + 1);
    EXPECT_EQ(starts.back()[0], "WVIEWNT.EXE");
    EXPECT_EQ(starts.back()[3], "-cRemote View");
    EXPECT_EQ(ui_.messages,
              std::vector<std::string>{
                  "DESKTOP.EXE couldn't be started: the program file was not found!"});
}

TEST_F(FunctionStart, InventoryAsksForTheServerForThisRunOnly) {
    auto& browser = openBrowser("OU=Sales.O=Acme");
    ASSERT_EQ(browser.inventoryServerField(), "");
    ui_.inventoryServer = [](InventoryServerDialogState& dialog) {
        dialog.server = "127.0.0.9";
        return InventoryServerAnswer::UseAndSave;
    };
    selectChild("WS10");
    browser.startFunction(WorkstationFunction::Inventory);
    EXPECT_EQ(ui_.shownServers, std::vector<std::string>{""});
    EXPECT_EQ(browser.inventoryServerField(), "127.0.0.9");
    // Even "Use / Save" leaves the settings file alone on this path.
    EXPECT_FALSE(std::filesystem::exists(settingsFile()));
    auto starts = programs_.waitFor(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], (Argv{"DESKTOP.EXE", "-wWS10.Sales.Acme", "-nACME_TREE", "-ip127.0.0.9",
                               "-cInventory"}));

    // Once the field is filled, the query goes without asking.
    selectChild("OU=West");
    browser.startFunction(WorkstationFunction::InventoryQuery);
    starts = programs_.waitFor(2);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1],
              (Argv{"DESKTOP.EXE", "-wWest.Sales.Acme", "-nACME_TREE", "-ip127.0.0.9", "-cQuery"}));
    EXPECT_EQ(ui_.shownServers.size(), 1u);
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(FunctionStart, NoServerNoInventory) {
    auto& browser = openBrowser("OU=Sales.O=Acme");
    const std::string refusal =
        "You must specify the ZENworks Inventory Database Server before querying the "
        "Inventory!";
    selectChild("WS10");
    browser.startFunction(WorkstationFunction::Inventory);  // the dialog is cancelled
    ui_.inventoryServer = [](InventoryServerDialogState&) { return InventoryServerAnswer::UseNow; };
    selectChild("OU=West");
    browser.startFunction(WorkstationFunction::InventoryQuery);  // an empty entry
    EXPECT_EQ(ui_.messages, (std::vector<std::string>{refusal, refusal}));
    EXPECT_EQ(ui_.shownServers.size(), 2u);
    EXPECT_EQ(browser.inventoryServerField(), "");

    // The next start is the first one recorded.
    selectChild("WS10");
    browser.startFunction(WorkstationFunction::Chat);
    auto starts = programs_.waitFor(1);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].back(), "-cChat");
}

}  // namespace
}  // namespace kestrel::browser::test
