// Every run of the installer is a transaction: an installation that fails or is cancelled, a
// command list, and a run that was killed leave the machine root as it was before them; an
// uninstallation goes on past a line it cannot undo and says so at the end.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>

#include "CrashLoop.h"
#include "MachineSnapshot.h"
#include "WorkRunFixture.h"
#include "messages/MessageStrings.h"
#include "platform/ChangeJournal.h"
#include "program/RunTransaction.h"

namespace kestrel::setup::test {
namespace {

using platform::RegistryRoot;

// Three components, each with its files, the first with a command and a registry section,
// the second with an INI section.
const std::string kThree =
    "ProductName=Acme Tools\nProductNameShort=AcmeTools\nVersion=2.0\n"
    "MachineKeyName=Acme\\Tools\\2.0\nUninstallKeyName=Acme Tools\n"
    "UninstallDisplayName=Acme Tools 2.0\n"
    "[Options]\nOne=One,DEFAULT,,\nOne\\One.reg=Settings,DEFAULT,,\n"
    "Two=Two,DEFAULT,,\nTwo\\Acme.ini=Options,DEFAULT,,\nThree=Three,DEFAULT,,\n"
    "[One]\n0:one.txt,one.txt\nMD %App%\\Data\\Logs\n"
    "[One\\One.reg]\nHKLM\\Software\\Acme:Path=%App%\n"
    "[Two]\n0:two.txt,Two\\two.txt\n"
    "[Two\\Acme.ini]\nSettings,Dir,%App%\n"
    "[Three]\n0:three.txt,three.txt\n";

const std::array<const char*, 3> kSources{"one.txt", "two.txt", "three.txt"};

// Every file below `root` with its bytes, every folder as "/": the hive files too.
std::map<std::string, std::string> treeContents(const fs::path& root) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink()) {
            contents[name] = "-> " + fs::read_symlink(entry.path()).string();
        } else {
            contents[name] = entry.is_directory() ? "/" : kestrel::test::readFile(entry.path());
        }
    }
    return contents;
}

class RunTransaction : public WorkRunFixture {
  protected:
    bool installSilently(const std::string& script = kThree) {
        startRun(script, [](RunState& run) { run.silent = true; });
        return wizardAndWork();
    }
    // What a machine holds before a product comes: earlier files where the product puts its
    // own, a value the product sets, the INI entry it writes.
    void earlierContent() {
        fs::create_directories(host("C:\\Acme\\Two"));
        kestrel::test::writeFile(host("C:\\Acme\\one.txt"), "earlier one");
        kestrel::test::writeFile(host("C:\\Acme\\Two\\two.txt"), "earlier two");
        ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, "Software\\Acme"), 0);
        ASSERT_EQ(registry().setValue(RegistryRoot::LocalMachine, "Software\\Acme", "Path",
                                      platform::RegistryValue::text(platform::kRegSz, "earlier")),
                  0);
        ASSERT_TRUE(registry().save());
    }
    MachineSnapshot snapshot() { return MachineSnapshot::take(*machine_); }
};

// An abort at each component, with and without earlier content in the places it writes:
// what the earlier components did is undone, the earlier content is back.
TEST_F(RunTransaction, AFailedInstallationLeavesTheMachineAsItWas) {
    for (const bool earlier : {false, true}) {
        for (std::size_t missing = 0; missing < kSources.size(); ++missing) {
            SCOPED_TRACE(std::string(earlier ? "earlier content, " : "") + "missing " +
                         kSources[missing]);
            fs::remove_all(host("C:\\Acme"));
            for (std::size_t i = 0; i < kSources.size(); ++i) {
                if (i == missing) {
                    fs::remove(host(std::string("C:\\setup\\") + kSources[i]));
                } else {
                    source(kSources[i], kSources[i]);
                }
            }
            if (earlier) earlierContent();
            const MachineSnapshot before = snapshot();
            ui_.shown.clear();
            EXPECT_FALSE(installSilently());
            EXPECT_EQ(before.differencesTo(snapshot()), "");
            EXPECT_FALSE(platform::ChangeJournal::pending(machine_->prefix()));
            EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotOpenFile});
        }
    }
}

TEST_F(RunTransaction, CancelAnsweredYesUndoesTheWork) {
    for (const char* name : kSources) source(name, name);
    earlierContent();
    const MachineSnapshot before = snapshot();
    startRun(kThree);
    ui_.cancelAfterPolls = 2;
    ui_.answer({buttons::kYes});
    EXPECT_FALSE(wizardAndWork());
    EXPECT_TRUE(session_->run().cancelled);
    EXPECT_EQ(before.differencesTo(snapshot()), "");
}

// A command list writes its list (in the folder it makes for it) and nothing else: no file,
// folder, value, INI entry or count; the hive files keep every byte.
TEST_F(RunTransaction, ACommandListChangesNothingButTheList) {
    for (const char* name : kSources) source(name, name);
    const auto bytes = treeContents(machine_->prefix());
    startRun(kThree, [](RunState& run) {
        run.silent = true;
        run.commandList = true;
    });
    ASSERT_TRUE(wizardAndWork());
    run_->commandList.close();
    const fs::path list = host(run_->commandListPath);
    auto after = treeContents(machine_->prefix());
    EXPECT_NE(kestrel::test::readFile(list).find("three.txt"), std::string::npos);
    const fs::path listed =
        fs::canonical(list).lexically_relative(fs::canonical(machine_->prefix()));
    for (fs::path made = listed; !made.empty() && bytes.count(made.string()) == 0;
         made = made.parent_path())
        after.erase(made.string());
    EXPECT_EQ(after, bytes);
}

// A line that cannot be undone is passed over: the rest goes, the line is named at the end.
TEST_F(RunTransaction, AnUninstallationGoesPastALineThatFails) {
    for (const char* name : kSources) source(name, name);
    const std::string script = kThree + "Ren %App%\\one.txt %App%\\first.txt\n";
    ASSERT_TRUE(installSilently(script));
    ASSERT_TRUE(fs::exists(host("C:\\Acme\\first.txt")));
    // Windows renames over no file: the rename back cannot be made.
    kestrel::test::writeFile(host("C:\\Acme\\one.txt"), "someone's");
    startRun(script, [](RunState& run) {
        run.silent = true;
        run.uninstall = true;
    });
    EXPECT_TRUE(wizardAndWork());
    EXPECT_EQ(session_->run().notUndone.size(), 1U);
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotRename});
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\Two\\two.txt")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\three.txt")));
    EXPECT_EQ(value(RegistryRoot::LocalMachine, "Software\\Acme", "Path"), "<none>");
}

// A product of 2,000 files in 20 folders, 300 registry values, an INI file and commands,
// with its sources in C:\setup.
std::string bigProduct(const std::function<void(const std::string&, const std::string&)>& source) {
    std::string files = "[Many]\nMD %App%\\Many\\Empty\n";
    std::string values = "[Many\\Many.reg]\n";
    for (int i = 0; i < 2000; ++i) {
        const std::string name = "m" + std::to_string(10000 + i).substr(1) + ".txt";
        source(name, std::string(static_cast<std::size_t>(100 + i % 400), 'a' + (i % 26)));
        files += "0:" + name + ",Many\\F" + std::to_string(i / 100) + "\\" + name + "\n";
    }
    for (int i = 0; i < 300; ++i)
        values += "HKLM\\Software\\Acme\\Many:V" + std::to_string(i) + "=value " +
                  std::to_string(i) + "\n";
    std::string script = kThree + files + values;
    const std::string last = "Three=Three,DEFAULT,,\n";
    script.insert(script.find(last) + last.size(),
                  "Many=Many,DEFAULT,,\nMany\\Many.reg=Values,DEFAULT,,\n");
    return script;
}

// Killed at seeded moments of the whole installation: the next run finds the journal and
// undoes what the killed one did, so the root is as before (or, killed after the work was
// kept, the product is installed); then the product installs and uninstalls to nothing.
TEST_F(RunTransaction, AKilledInstallationIsUndoneByTheNextRun) {
    for (const char* name : kSources) source(name, name);
    // The first files' folder is there before, with a file of someone's: the loop's chosen
    // moments (a temporary file made, written, renamed onto its name) are seen in it, in the
    // middle of the work.
    fs::create_directories(host("C:\\Acme\\Many\\F0"));
    kestrel::test::writeFile(host("C:\\Acme\\Many\\F0\\notes.txt"), "someone's");
    const std::string script = bigProduct(
        [this](const std::string& name, const std::string& content) { source(name, content); });
    const MachineSnapshot before = snapshot();
    const auto reopen = [this] {
        session_.reset();
        run_.reset();
        auto machine = platform::MachineRoot::open(
            dir_ / "prefix", {"alice", dir_ / "servers", platform::NewRoot::Skeleton,
                              platform::WindowsArchitecture::Win32});
        ASSERT_TRUE(machine) << machine.error();
        machine_ = std::move(machine.value());
    };
    const auto install = [&] { return installSilently(script); };
    const auto uninstall = [&] {
        startRun(script, [](RunState& run) {
            run.silent = true;
            run.uninstall = true;
        });
        return wizardAndWork();
    };
    kestrel::test::CrashLoop loop("installation", host("C:\\Acme\\Many\\F0\\m0000.txt"), 12);
    ASSERT_TRUE(loop.calibrate(install).succeeded);
    reopen();
    ASSERT_TRUE(uninstall());
    ASSERT_EQ(before.differencesTo(snapshot()), "");
    int undone = 0;
    while (loop.more()) {
        const kestrel::test::CrashRun crash = loop.run(install);
        SCOPED_TRACE(crash.describe());
        reopen();
        ui_.notes.clear();
        recoverUnfinishedRun(*machine_, ui_);
        EXPECT_FALSE(platform::ChangeJournal::pending(machine_->prefix()));
        load(std::string(kHead) + script);
        if (value(RegistryRoot::LocalMachine, "Software\\Acme\\Tools\\2.0\\Setup", "ProductName") !=
            "<none>") {
            EXPECT_TRUE(ui_.notes.empty());  // the run had kept its work
            ASSERT_TRUE(uninstall());
        } else if (!ui_.notes.empty()) {
            ++undone;
            EXPECT_EQ(ui_.notes.size(), 1U) << ui_.notes.back();
        }
        ASSERT_EQ(before.differencesTo(snapshot()), "");
    }
    EXPECT_GT(undone, 0);
    ASSERT_TRUE(install());
    ASSERT_TRUE(uninstall());
    EXPECT_EQ(before.differencesTo(snapshot()), "");
}

}  // namespace
}  // namespace kestrel::setup::test
