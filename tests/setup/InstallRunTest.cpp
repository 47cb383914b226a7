// Each kind of run through the wizard and the installation driver with the scripted person:
// fresh installation, repeat, maintenance, new instance, uninstallation, administrator and
// workstation installations and the command list.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <iostream>

#include "MachineSnapshot.h"
#include "TestSupport.h"
#include "WorkRunFixture.h"
#include "components/ComponentPage.h"
#include "platform/ShellLink.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

const char* const kSetupKey = "Software\\Acme\\Tools\\2.0\\Setup";

class InstallRun : public WorkRunFixture {
  protected:
    bool installSilently(const std::string& script = kProduct) {
        startRun(script, [](RunState& run) { run.silent = true; });
        return wizardAndWork();
    }
    std::string options(const char* component) {
        return value(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Options", component);
    }
};

TEST_F(InstallRun, FreshInstallationAsksItsPagesAndRecordsTheAnswers) {
    sources();
    startRun(kProduct);
    ui_.answerPage({PageResult::Next, {"C:\\Tools"}});
    ui_.answerPage({PageResult::Next, {"Bob", "Corp"}});
    ui_.answerPage({PageResult::Next, {"9090"}});
    ui_.answerPage({PageResult::Next, {}, {}, false, false, [](WizardPage& page) {
                        page.components->toggle(1);
                    }});
    ASSERT_TRUE(wizardAndWork());

    EXPECT_EQ(ui_.pageKinds(), (std::vector<PageKind>{PageKind::GetDir, PageKind::GetUser,
                                                      PageKind::GetVal, PageKind::Options}));
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Tools\\a.txt")), "base");
    EXPECT_EQ(kestrel::test::readFile(host("C:\\Tools\\Docs\\d.txt")), "docs");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, kSetupKey, "AppPath"), "C:\\Tools");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, kSetupKey, "RegisteredOwner"), "Bob");
    EXPECT_EQ(value(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Prompts", "Port"),
              "9090");
    EXPECT_EQ(options("Docs"), "1");
    // The work's window is a child of the main window, with its Cancel button.
    ASSERT_FALSE(ui_.progressViews.empty());
    EXPECT_TRUE(ui_.progressViews.front().visible);
    EXPECT_FALSE(ui_.progressViews.front().placement.popup);
    EXPECT_TRUE(ui_.progressViews.front().cancelVisible);
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(InstallRun, InstallingThenUninstallingLeavesTheMachineAsItWas) {
    sources();
    load(std::string(kHead) + kProduct);
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    ASSERT_TRUE(installSilently());
    EXPECT_NE(before.differencesTo(MachineSnapshot::take(*machine_)), "");

    startRun(kProduct, [](RunState& run) {
        run.silent = true;
        run.uninstall = true;
    });
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(before.differencesTo(MachineSnapshot::take(*machine_)), "");
    // Uninstalling works in a window of its own.
    ASSERT_FALSE(ui_.progressViews.empty());
    EXPECT_TRUE(ui_.progressViews.back().placement.popup);
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(InstallRun, RepeatRestoresMissingFilesWithoutAskingAgain) {
    sources();
    ASSERT_TRUE(installSilently());
    fs::remove(host("C:\\Acme\\a.txt"));
    startRun(kProduct, [](RunState& run) { run.repeat = true; });
    ASSERT_TRUE(wizardAndWork());
    EXPECT_TRUE(ui_.pages.empty());  // the registered answers stand in for the pages
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, std::string(kSetupKey) + "\\Prompts", "Port"),
              "8080");
}

TEST_F(InstallRun, MaintenanceAddsTheNewComponentAndRemovesTheDeselectedOne) {
    sources();
    ASSERT_TRUE(installSilently());
    ASSERT_FALSE(fs::exists(host("C:\\Acme\\Docs\\d.txt")));
    startRun(kProduct, [](RunState& run) { run.maintenance = true; });
    ui_.answerPage({PageResult::Next, {}, {}, false, false, [](WizardPage& page) {
                        page.components->toggle(0);  // Base off
                        page.components->toggle(1);  // Docs on
                    }});
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(ui_.pageKinds(), std::vector<PageKind>{PageKind::Options});
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Docs\\d.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_EQ(options("Docs"), "1");
    EXPECT_EQ(options("Base"), "<none>");
}

TEST_F(InstallRun, NewInstanceGoesBesideTheRegisteredOne) {
    sources();
    ASSERT_TRUE(installSilently());
    startRun(kProduct, [](RunState& run) { run.newInstance = true; });
    ui_.answerPage({PageResult::Next, {"C:\\Second"}});
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(run_->existingInstancePath, "C:\\Acme\\");
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_TRUE(fs::exists(host("C:\\Second\\a.txt")));
}

// The copy left on the server is marked as such, offers only what the administrator chose
// and keeps the times of the file it was copied from.
TEST_F(InstallRun, AdministratorInstallationMarksTheScriptOnTheServer) {
    const std::string script = std::string(kProduct) +
                               "[Copy]\nServer=Server,0,,\n[Server]\n0:Setup.inf,Setup.inf\n"
                               "[Admin]\nAskOptions=1\n";
    sources();
    const fs::path copied = source("Setup.inf", std::string(kHead) + script);
    const timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, copied.c_str(), times, 0), 0);
    askOptions_ = true;
    startRun(script, [](RunState& run) {
        run.admin = true;
        run.silent = true;
    });
    ASSERT_TRUE(wizardAndWork());

    const fs::path server = host("C:\\Acme\\Setup.inf");
    const std::string text = kestrel::test::readFile(server);
    EXPECT_NE(text.find("AdminSetup=1"), std::string::npos) << text;
    EXPECT_NE(text.find("Base=Base"), std::string::npos) << text;
    EXPECT_EQ(text.find("Docs=Docs"), std::string::npos) << text;
    EXPECT_NE(text.find("[Docs]"), std::string::npos) << text;
    struct stat after {};
    ASSERT_EQ(::stat(server.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, 1600000000);
    // An administrator installation records nothing on the machine that runs it.
    EXPECT_EQ(value(RegistryRoot::LocalMachine, kSetupKey, "ProductName"), "<none>");
}

TEST_F(InstallRun, AdministratorInstallationWithoutTheScriptCopySaysSo) {
    sources();
    startRun(kProduct, [](RunState& run) {
        run.admin = true;
        run.silent = true;
    });
    EXPECT_FALSE(wizardAndWork());
    EXPECT_EQ(ui_.numbers(), std::vector<int>{5501});
    EXPECT_TRUE(session_->run().abort);
}

TEST_F(InstallRun, WorkstationInstallationLeavesItsTwoLinksAndTakesThemAway) {
    sources();
    startRun(kProduct, [](RunState& run) {
        run.workstation = true;
        run.silent = true;
    });
    ASSERT_TRUE(wizardAndWork());
    const std::string admin = expand("%UserPrograms%\\Software (Admin)\\Acme Tools 2.0.lnk");
    const std::string user = expand("%CommonPrograms%\\Software (User)\\Acme Tools 2.0.lnk");
    const auto adminLink = platform::readShellLink(host(admin));
    ASSERT_TRUE(adminLink.has_value()) << admin;
    EXPECT_TRUE(adminLink->arguments.ends_with("/U /AW")) << adminLink->arguments;
    const auto userLink = platform::readShellLink(host(user));
    ASSERT_TRUE(userLink.has_value()) << user;
    EXPECT_TRUE(userLink->arguments.ends_with("/X4")) << userLink->arguments;

    startRun(kProduct, [](RunState& run) {
        run.workstation = true;
        run.silent = true;
        run.uninstall = true;
    });
    ASSERT_TRUE(wizardAndWork());
    EXPECT_FALSE(fs::exists(host(admin).parent_path()));
    EXPECT_FALSE(fs::exists(host(user).parent_path()));
}

TEST_F(InstallRun, CommandListNamesTheFilesInsteadOfCopyingThem) {
    sources();
    startRun(kProduct, [](RunState& run) {
        run.silent = true;
        run.commandList = true;
    });
    ASSERT_TRUE(wizardAndWork());
    run_->commandList.close();
    EXPECT_EQ(run_->commandListPath, machine_->expandRootEnvironment("%TEMP%\\AcmeTools.txt"));
    const std::string list = kestrel::test::readFile(host(run_->commandListPath));
    EXPECT_NE(list.find("a.txt"), std::string::npos) << list;
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.txt")));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, kSetupKey, "ProductName"), "<none>");
    EXPECT_EQ(options("Base"), "<none>");
}

TEST_F(InstallRun, UninstallingDropsTheCommandList) {
    sources();
    ASSERT_TRUE(installSilently());
    startRun(kProduct, [](RunState& run) {
        run.silent = true;
        run.uninstall = true;
        run.commandList = true;
    });
    ASSERT_TRUE(wizardAndWork());
    EXPECT_FALSE(session_->run().commandList);
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\a.txt")));
}

// Readme only when this run copied its file, in a run someone watches; Execute whatever was
// copied.
TEST_F(InstallRun, ReadmeStartsOnlyWhenItsFileWasCopied) {
    const kestrel::test::ScopedEnv display("QT_QPA_PLATFORM", "offscreen");
    const std::string script =
        "Readme=notepad.exe %App%\\readme.txt\n"
        "Execute=%App%\\tool.exe /go\n" +
        std::string(kProduct) + "[Copy]\nReadme=Readme,0,,\n[Readme]\n0:readme.txt,readme.txt\n";
    sources();
    source("readme.txt", "read me");
    startRun(script);
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(
        starter_->commandLines(),
        (std::vector<std::string>{"notepad.exe C:\\Acme\\readme.txt", "C:\\Acme\\tool.exe /go"}));

    startRun("Readme=C:\\Acme\\readme.txt\n" + std::string(kProduct));
    ASSERT_TRUE(wizardAndWork());
    EXPECT_TRUE(starter_->starts.empty());
}

// Nobody reads a readme in a silent run or without a display; Execute still runs.
TEST_F(InstallRun, ReadmeStaysClosedWhereNobodyCanReadIt) {
    const std::string script =
        "Readme=%App%\\a.txt\nExecute=%App%\\tool.exe\n" + std::string(kProduct);
    sources();
    {
        const kestrel::test::ScopedEnv display("QT_QPA_PLATFORM", "offscreen");
        startRun(script, [](RunState& run) { run.silent = true; });
        ASSERT_TRUE(wizardAndWork());
        EXPECT_EQ(starter_->commandLines(), std::vector<std::string>{"C:\\Acme\\tool.exe"});
    }
    kestrel::test::ScopedEnvironment noDisplay;
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        noDisplay.set(name, std::nullopt);
    startRun(script);
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(starter_->commandLines(), std::vector<std::string>{"C:\\Acme\\tool.exe"});
}

// A machine where nothing opens documents: the run says so in one line and succeeds.
TEST_F(InstallRun, AReadmeNothingOpensIsSaidPlainly) {
    const kestrel::test::ScopedEnv display("QT_QPA_PLATFORM", "offscreen");
    sources();
    startRun("Readme=%App%\\a.txt\n" + std::string(kProduct));
    starter_->answer = commands::kErrorNoAssociation;
    ASSERT_TRUE(wizardAndWork());
    EXPECT_EQ(starter_->commandLines(), std::vector<std::string>{"\"C:\\Acme\\a.txt\""});
    EXPECT_EQ(ui_.notes, std::vector<std::string>{
                             "The readme \"C:\\Acme\\a.txt\" was not opened: no program on this "
                             "machine opens documents (xdg-open is not installed)."});
    EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
}  // namespace kestrel::setup::test
