// The end of a run: its message, the restart decision and where the restart goes (the
// caller, WIN.INI's [Reboot], the machine root), the command list shown, hook event 5.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "SetupFixture.h"
#include "messages/MessageStrings.h"
#include "platform/ProfileFunctions.h"
#include "platform/RestartOperations.h"
#include "program/InstallServices.h"
#include "program/NotifyWindow.h"
#include "program/RunEnd.h"

namespace kestrel::setup::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;

constexpr const char* kInstaller = "C:\\windows\\_UnInst.exe";

class RunEndTest : public SetupFixture {
  protected:
    RunEndTest() {
        // No Wine here: a restart is our own boot step, which the test can see.
        fs::create_directories(dir_ / "no-wine");
        env_.set("PATH", (dir_ / "no-wine").string());
        kestrel::test::writeFile(dir_ / "prefix/drive_c/windows/_UnInst.exe", "setup");
    }

    // A run of the script, with a file the next start of the root deletes: whether it is
    // still there tells whether the root was restarted.
    SetupRun& start(const std::string& application = "") {
        run_.reset();
        load("[Setup]\nVersion=5.1\n[Application]\nProductName=Acme Tools\n" + application);
        run_ = std::make_unique<SetupRun>(*session_);
        run_->installerPath = kInstaller;
        kestrel::test::writeFile(pending(), "old");
        EXPECT_TRUE(platform::scheduleAtRestart(*machine_, "C:\\pending.txt", std::nullopt));
        return *run_;
    }
    RunState& state() { return session_->run(); }
    fs::path pending() const { return dir_ / "prefix/drive_c/pending.txt"; }
    bool restarted() const { return !fs::exists(pending()); }
    void useWindows98() {
        ASSERT_EQ(registry().createKey(platform::RegistryRoot::CurrentUser, "Software\\Wine"), 0);
        ASSERT_EQ(registry().setValue(platform::RegistryRoot::CurrentUser, "Software\\Wine",
                                      "Version", platform::RegistryValue::text(1, "win98")),
                  0);
    }
    std::string rebootKey() { return machine_->shortPath(kInstaller); }
    fs::path winIni() { return machine_->profileFile("win.ini"); }

    kestrel::test::ScopedEnvironment env_;
    std::unique_ptr<SetupRun> run_;
};

// The end message is seen over the installer's window, whatever came in front of it
// during the work, also when the run was aborted.
TEST_F(RunEndTest, TheMainWindowComesToTheFrontBeforeTheEndMessage) {
    EXPECT_EQ(endRun(start()), 0);
    state().abort = true;
    EXPECT_EQ(endRun(*run_), -1);
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kCompleted, messages::kAborted));
    EXPECT_THAT(ui_.mainWindowRaised, ElementsAre(0u, 1u));
}

TEST_F(RunEndTest, ARunThatWentWellSaysSoByItsKind) {
    EXPECT_EQ(endRun(start()), 0);
    state().uninstall = true;
    EXPECT_EQ(endRun(*run_), 0);
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kCompleted, messages::kUninstalled));
    EXPECT_EQ(ui_.shown[0].box.text,
              "Installation successfully completed. Have much fun working with 'Acme Tools'.");

    // An administrator installation names what users run on the server.
    ui_.shown.clear();
    start("SetupInfDir=Setup\n");
    session_->variables().setDirectory("App", "S:\\Apps\\Acme");
    state().admin = true;
    EXPECT_EQ(endRun(*run_), 0);
    state().fromCD = true;
    EXPECT_EQ(endRun(*run_), 0);
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kAdminCompleted, messages::kAdminCompleted));
    EXPECT_THAT(ui_.shown[0].box.text,
                ::testing::EndsWith(":\n\nS:\\Apps\\Acme\\Setup\\Setup.exe"));
    EXPECT_THAT(ui_.shown[1].box.text, ::testing::EndsWith(":\n\nS:\\Apps\\Acme\\Setup.exe"));
}

TEST_F(RunEndTest, SilentRunsAndChildRunsHaveNoEndMessage) {
    start().session.run().silent = true;
    EXPECT_EQ(endRun(*run_), 0);
    start();
    state().extraFlags = extra::kNoEndMessage;
    state().abort = true;
    EXPECT_EQ(endRun(*run_), -1);
    EXPECT_THAT(ui_.shown, IsEmpty());
    // /S3 is no silent run.
    start();
    state().silentLevel = 3;
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kCompleted));
}

TEST_F(RunEndTest, AnAbortedRunSaysSoAndAFailedOneEndsQuietly) {
    start().session.run().abort = true;
    EXPECT_EQ(endRun(*run_), -1);
    state().uninstall = true;
    EXPECT_EQ(endRun(*run_), -1);
    start().failed = true;  // a start-up step failed and said why itself
    EXPECT_EQ(endRun(*run_), -1);
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kAborted, messages::kUninstallAborted));
    EXPECT_FALSE(restarted());
}

TEST_F(RunEndTest, TheRestartIsAskedForByItsKindAndMadeOnYes) {
    start().session.run().restartWindows = true;  // NT: that is a restart of the computer
    ui_.answer({buttons::kNo});
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_FALSE(restarted());
    ui_.answer({buttons::kYes});
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_TRUE(restarted());
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kCompletedRestartComputer,
                                           messages::kCompletedRestartComputer));

    ui_.shown.clear();
    useWindows98();
    start().session.run().restartWindows = true;
    state().uninstall = true;
    ui_.answer({buttons::kNo});
    EXPECT_EQ(endRun(*run_), 0);
    start("Reboot=1\n").session.run().uninstall = true;
    ui_.answer({buttons::kNo});
    EXPECT_EQ(endRun(*run_), 0);
    start("Reboot=2\n").session.run().restartComputer = true;
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_THAT(ui_.numbers(),
                ElementsAre(messages::kUninstalledRestartWindows,
                            messages::kUninstalledRestartComputer, messages::kCompleted));
    EXPECT_FALSE(restarted());
}

TEST_F(RunEndTest, SilentRunsRestartOnlyWhenTheScriptSaysAlways) {
    start().session.run().silent = true;
    state().restartComputer = true;
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_FALSE(restarted());
    start("Reboot=1\n").session.run().silent = true;
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_TRUE(restarted());
    EXPECT_THAT(ui_.shown, IsEmpty());
}

TEST_F(RunEndTest, ACallerThatRestartsGets6702AndThePlainMessage) {
    start().session.run().extraFlags = extra::kCallerRestarts;
    state().restartComputer = true;
    EXPECT_EQ(endRun(*run_), kExitRestartByCaller);
    EXPECT_THAT(ui_.numbers(), ElementsAre(messages::kCompleted));
    EXPECT_FALSE(restarted());
    // Without a restart to hand over the run ends as any other.
    start().session.run().extraFlags = extra::kCallerRestarts;
    EXPECT_EQ(endRun(*run_), 0);
}

TEST_F(RunEndTest, WinIniRebootTakesTheRestartWhenItsKeyIsSet) {
    ASSERT_TRUE(platform::writeProfileString(winIni(), "Reboot", rebootKey(), "1"));
    start().session.run().restartWindows = true;
    ui_.answer({buttons::kYes});
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_EQ(platform::getProfileString(winIni(), "Reboot", rebootKey(), "", 256), "2");
    EXPECT_FALSE(restarted());

    // 0 there: the run restarts itself and leaves the key alone.
    ASSERT_TRUE(platform::writeProfileString(winIni(), "Reboot", rebootKey(), "0"));
    start().session.run().restartComputer = true;
    ui_.answer({buttons::kYes});
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_EQ(platform::getProfileString(winIni(), "Reboot", rebootKey(), "", 256), "0");
    EXPECT_TRUE(restarted());
}

TEST_F(RunEndTest, TheNotifyWindowHearsTheRestartInsteadOfTheRootRestarting) {
    auto window = NotifyWindow::open();
    ASSERT_TRUE(window);
    start().session.run().notifyWindow = window->number();
    state().uninstall = true;
    state().restartComputer = true;
    ui_.answer({buttons::kYes});
    EXPECT_EQ(endRun(*run_), 0);
    NotifyWindow::Received received = window->receive();
    EXPECT_EQ(received.restart, RestartKind::Computer);
    EXPECT_TRUE(received.closed);
    EXPECT_FALSE(restarted());

    // No restart: only the close request; the same for a script that could not be loaded.
    start().session.run().notifyWindow = window->number();
    EXPECT_EQ(endRun(*run_), 0);
    received = window->receive();
    EXPECT_EQ(received.restart, RestartKind::None);
    EXPECT_TRUE(received.closed);
    endUnloadedRun(state());
    EXPECT_TRUE(window->receive().closed);

    // A window that has gone: the run restarts as though there had been none.
    long gone = 0;
    {
        auto other = NotifyWindow::open();
        ASSERT_TRUE(other);
        gone = other->number();
    }
    start().session.run().notifyWindow = gone;
    state().restartComputer = true;
    ui_.answer({buttons::kYes});
    EXPECT_EQ(endRun(*run_), 0);
    EXPECT_TRUE(restarted());
}

TEST_F(RunEndTest, TheCommandListIsClosedAndShown) {
    SetupRun& run = start();
    state().commandList = true;
    state().restartComputer = true;  // a list does no restart
    run.commandListPath = "C:\\windows\\temp\\Acme.txt";
    const fs::path list = *machine_->hostPath(run.commandListPath);
    fs::create_directories(list.parent_path());
    run.commandList.open(list);
    run.commandList << "COPY a b\n";
    EXPECT_EQ(endRun(run), 0);
    EXPECT_EQ(kestrel::test::readFile(list), "COPY a b\n");
    EXPECT_THAT(ui_.textFiles, ElementsAre(list));
    EXPECT_THAT(ui_.shown, IsEmpty());
    EXPECT_FALSE(restarted());

    // Nothing on the desktop can show it: said, and the list stays written.
    start();
    state().commandList = true;
    run_->commandListPath = "C:\\windows\\temp\\Acme.txt";
    run_->commandList.open(list);
    ui_.textFileShown = false;
    EXPECT_EQ(endRun(*run_), 0);
    ASSERT_THAT(ui_.numbers(), ElementsAre(messages::kCannotExecute));
}

TEST_F(RunEndTest, TheExtensionHearsTheEndAndIsUnloaded) {
    env_.set("SAMPLE_HOOK_LOG", (dir_ / "hook.log").string());
    const fs::path module = fs::path(KESTREL_BINARY_DIR) / "lib" / "libsample-extension.so";
    start("SetupExtDll=" + machine_->windowsPath(module) + "\n");
    ASSERT_TRUE(run_->hook.load());
    state().abort = true;
    EXPECT_EQ(endRun(*run_), -1);
    EXPECT_FALSE(run_->hook.loaded());
    EXPECT_THAT(kestrel::test::readFile(dir_ / "hook.log"), ::testing::StartsWith("event=5 "));
}

}  // namespace
}  // namespace kestrel::setup::test
