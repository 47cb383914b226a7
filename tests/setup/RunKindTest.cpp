// What kind of run the installer makes from its command line, the script, the installation
// that is there and the person's answers, up to the point where the wizard would begin.
#include "RunFixture.h"
#include "program/RunKind.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

class RunKind : public RunFixture {
  protected:
    bool decide() { return decideRunKind(*run_); }
    // The kinds a run can take, as one word each, for short comparisons.
    std::string kind() {
        const RunState& s = state();
        std::string words;
        for (const auto& [on, word] : {std::pair{s.admin, "admin"},
                                       {s.workstation, "workstation"},
                                       {s.client, "client"},
                                       {s.maintenance, "maintenance"},
                                       {s.newInstance, "new"},
                                       {s.repeat, "repeat"},
                                       {s.uninstall, "uninstall"},
                                       {s.perUserPart, "user"}}) {
            if (on) words += words.empty() ? word : std::string(" ") + word;
        }
        return words.empty() ? "fresh" : words;
    }
    // The INSTSAME page answered with its choice (0 Add/Remove ... 3 Uninstall).
    void choose(int choice) { ui_.answerPage({PageResult::Next, {}, choice}); }
};

TEST_F(RunKind, NothingInstalledIsAFreshInstallation) {
    start(productScript(), {"/N"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "fresh") << "a new instance of nothing is a plain installation";
    EXPECT_TRUE(ui_.pages.empty());
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_EQ(session_->variables().value("InstalledVersion"), "");
}

TEST_F(RunKind, SilentRunsRepeatANewerRevisionElseInstallANewInstance) {
    registerProduct({{"Revision", "2"}, {"AppPath", "C:\\Acme\\"}});
    start(productScript(), {"/S"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "repeat");
    EXPECT_TRUE(state().newerRevision);
    EXPECT_EQ(session_->variables().value("App"), "C:\\Acme\\") << "the registered folder";
    EXPECT_EQ(session_->variables().value("InstalledVersion"), "2.0");

    registerProduct({{"Revision", "3"}});
    start(productScript(), {"/S"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "new");
    EXPECT_TRUE(ui_.pages.empty());
    EXPECT_TRUE(ui_.shown.empty()) << "a silent run asks nothing";
}

TEST_F(RunKind, ANewerRevisionOffersTheRepeatThenTheInstSamePage) {
    registerProduct({{"Revision", "2"}});
    start(productScript());
    ui_.answer({buttons::kYes});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "repeat");
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kRepeatWithNewFiles});
    EXPECT_TRUE(ui_.pages.empty());

    start(productScript());
    ui_.shown.clear();
    ui_.answer({buttons::kNo});
    choose(2);
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "new");
    EXPECT_EQ(ui_.pageKinds(), std::vector<PageKind>{PageKind::InstSame});
}

TEST_F(RunKind, TheInstSamePageSaysWhatHappensToTheInstallation) {
    registerProduct({{"Revision", "3"}, {"AppPath", "C:\\Acme\\"}});
    const std::vector<std::pair<int, std::string>> choices = {
        {0, "maintenance"}, {1, "repeat"}, {2, "new"}, {3, "uninstall"}};
    for (const auto& [choice, expected] : choices) {
        start(productScript());
        choose(choice);
        if (choice == 3) ui_.answer({buttons::kYes});  // the uninstallation confirmed
        ASSERT_TRUE(decide()) << expected;
        EXPECT_EQ(kind(), expected);
    }
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kConfirmUninstall});
    EXPECT_EQ(ui_.shown[0].box.text.find("The application 'Acme Tools' will be removed"), 0u);
    ASSERT_EQ(ui_.pages.size(), 4u);
    EXPECT_TRUE(ui_.pages[0].choices[3].visible) << "a recorded product may be uninstalled";

    // Cancel, confirmed, ends the run.
    start(productScript());
    ui_.answerPage({PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(decide());

    // HideUninstall=1 only leaves the product out of the list; 2 also takes the button away.
    start(productScript("HideUninstall=1\n"));
    choose(0);
    ASSERT_TRUE(decide());
    EXPECT_TRUE(ui_.pages.back().choices[3].visible);
    start(productScript("HideUninstall=2\n"));
    choose(0);
    ASSERT_TRUE(decide());
    EXPECT_FALSE(ui_.pages.back().choices[3].visible);
}

// The page names the product and version it is about and what its buttons do.
TEST_F(RunKind, TheInstSamePageNamesTheInstalledProduct) {
    registerProduct({{"Revision", "3"}});
    start(productScript());
    choose(1);
    ASSERT_TRUE(decide());
    ASSERT_EQ(ui_.pages.size(), 1u);
    EXPECT_EQ(ui_.pages[0].text,
              "Acme Tools 2.0 is installed on this computer already. Add or remove its "
              "components, repeat the installation, install it once more beside it, or remove "
              "it.");
}

TEST_F(RunKind, MaintenanceAndServiceReleasesAskNothing) {
    registerProduct({{"Revision", "3"}});
    start(productScript(), {"/M"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "maintenance");
    EXPECT_TRUE(ui_.pages.empty());

    // A service release of the installed version repeats it, uninstall and /M undone...
    start(productScript("ServiceRelease=1\n"), {"/U", "/M"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "repeat");
    EXPECT_FALSE(state().installed);
    // ...and, unlike other repeats, meets the requirements first.
    start(productScript("ServiceRelease=1\n", "[Requirements]\n1 > 2\n"));
    EXPECT_FALSE(decide());
    EXPECT_EQ(ui_.numbers().back(), messages::kRequirementNotMet);

    // A service release for another version installs beside it, asking nothing.
    start(productScript("ServiceRelease=1\nVersion=2.1\n"));
    ui_.shown.clear();
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "fresh");
    EXPECT_TRUE(ui_.pages.empty());
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(RunKind, TheAdminPageMakesAServerOrAWorkstationInstallation) {
    const std::string script =
        productScript("", "[Admin]\nAskOptions=1\n[Workstation]\nAskOptions=0\n");
    start(script, {"/A", "/U"});
    choose(0);
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "admin") << "an administrator installation removes nothing";
    EXPECT_TRUE(run_->askOptions);
    EXPECT_EQ(ui_.pageKinds(), std::vector<PageKind>{PageKind::Admin});

    start(script, {"/A"});
    choose(1);
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "workstation");
    EXPECT_FALSE(run_->askOptions);

    ui_.pages.clear();
    start(script, {"/AS"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "admin");
    start(script, {"/AW"});
    EXPECT_EQ(kind(), "workstation") << "/AW is no administrator installation";
    ASSERT_TRUE(decide());
    start(script, {"/A", "/S"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "admin");
    EXPECT_TRUE(ui_.pages.empty()) << "no page in a silent run, nor with /AS or /AW";

    start(script, {"/A"});
    ui_.answerPage({PageResult::Cancel});
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(decide());
}

TEST_F(RunKind, UnmetRequirementsEndAnInstallationButNotARepeat) {
    const std::string script = productScript("", "[Requirements]\n1 > 2\n");
    start(script);
    EXPECT_FALSE(decide());
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kRequirementNotMet});

    registerProduct({{"Revision", "3"}});
    ui_.shown.clear();
    start(script, {"/R"});
    EXPECT_TRUE(decide());
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(RunKind, RunsOnAnInstallationNeedItsRecords) {
    start(productScript(), {"/U"});
    EXPECT_FALSE(decide());
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].box.text, "The application 'Acme Tools' is not installed.");
    start("[Setup]\nVersion=5.11\n[Application]\nProductName=Plain\n", {"/R"});
    EXPECT_FALSE(decide());
    EXPECT_NE(ui_.shown.back().box.text.find("no MachineKeyName"), std::string::npos)
        << ui_.shown.back().box.text;

    registerProduct({{"Revision", "3"}, {"AppPath", "C:\\Acme\\"}, {"RegisteredOwner", "Bob"}});
    ui_.shown.clear();
    start(productScript(), {"/U"});
    ui_.answer({buttons::kNo});
    EXPECT_FALSE(decide());
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kConfirmUninstall});
    start(productScript(), {"/U", "/S"});
    ASSERT_TRUE(decide());
    EXPECT_EQ(ui_.numbers().size(), 1u) << "a silent uninstallation is not asked about";
    EXPECT_EQ(session_->variables().value("App"), "C:\\Acme\\");
    EXPECT_EQ(session_->variables().value("User"), "Bob");
}

TEST_F(RunKind, AUsersPartOfAWorkstationInstallationRunsFromTheServer) {
    registerProduct({{"MachineSetup", "1"}, {"AppPath", "\\\\server\\acme\\"}});
    start(productScript());
    ASSERT_TRUE(decide());
    EXPECT_EQ(kind(), "client user");
    EXPECT_TRUE(run_->askOptions) << "[Client] AskOptions is on unless the script says not";
    start(productScript("", "[Client]\nAskOptions=0\n"));
    ASSERT_TRUE(decide());
    EXPECT_FALSE(run_->askOptions);
}

TEST_F(RunKind, AWorkstationUninstallationAsksForItsUsersAndRemovesTheOwnPart) {
    registerProduct({{"MachineSetup", "1"}});
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Users"),
              0);
    for (const char* user : {"bob", "carol"}) {
        ASSERT_EQ(
            registry().setValue(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Users",
                                user, platform::RegistryValue::text(platform::kRegSz, "x")),
            0);
    }
    registerProduct({}, RegistryRoot::CurrentUser);
    start(productScript(), {"/AW", "/U"});
    ui_.answer({buttons::kYes, buttons::kNo});
    EXPECT_FALSE(decide());
    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kConfirmUninstall, messages::kStillUsedByOthers}));
    EXPECT_TRUE(starter_->starts.empty());

    start(productScript(), {"/AW", "/U"});
    ui_.answer({buttons::kYes, buttons::kYes});
    ASSERT_TRUE(decide());
    EXPECT_EQ(starter_->childCommands(),
              std::vector<std::string>{"\"" + std::string(kInstaller) +
                                       "\" \"C:\\setup\\Setup.inf\" /U /S"});
}

TEST_F(RunKind, AnEarlierVersionIsOfferedForRemoval) {
    registerProduct({{"UninstallString", "C:\\old\\uninst.exe /U"}}, RegistryRoot::LocalMachine,
                    "1.0");
    start(productScript());
    ui_.answer({buttons::kYes});
    ASSERT_TRUE(decide());
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kEarlierVersionFound});
    EXPECT_EQ(starter_->childCommands(), std::vector<std::string>{"C:\\old\\uninst.exe /U /X2"});
    EXPECT_EQ(kind(), "fresh") << "another version is no installation of this one";
    EXPECT_EQ(session_->variables().value("InstalledVersion"), "1.0");
}

TEST_F(RunKind, TheWizardHasTheScriptsPictureAndTitle) {
    const auto picture = machine_->paths().hostPath("C:\\setup\\wizard.bmp");
    ASSERT_TRUE(picture);
    std::filesystem::create_directories(picture->parent_path());
    kestrel::test::writeFile(*picture, "BM");
    start(productScript("SetupName=Acme Setup\nWizardPicture=missing.bmp;wizard.bmp\n"));
    ASSERT_TRUE(decide());
    EXPECT_EQ(run_->pages->frame().picture, picture->string());
    EXPECT_EQ(run_->pages->frame().title, "Acme Setup");
    start(productScript());
    ASSERT_TRUE(decide());
    EXPECT_EQ(run_->pages->frame().picture, "") << "the built-in picture";
}

}  // namespace
}  // namespace kestrel::setup::test
