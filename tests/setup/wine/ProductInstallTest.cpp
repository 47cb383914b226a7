// The sample product Beacon Monitor installed by the real `setup` program, silently, into a
// fresh Wine prefix, as a user runs it: Wine's own tools then see what was installed, the
// program runs and reports its version, its shortcut starts it, and the uninstallation
// leaves the prefix's files and registry exactly as they were. Bad input fails the run
// with the installer's message and exit code -1, and leaves nothing that the next run
// cannot install over and remove.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "TerminalSession.h"
#include "WineProductTest.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kDisk = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "beacon" / "disk";
const std::string kProgram = "C:\\Program Files (x86)\\Beacon Monitor\\BEACON.EXE";
const std::string kSettingsKey = "HKLM\\Software\\Beacon Labs\\Beacon Monitor";

class ProductInstall : public WineProductTest {
  protected:
    void SetUp() override {
        WineProductTest::SetUp();
        if (IsSkipped()) return;
        if (!fs::exists(kDisk / "Setup.inf")) {
            GTEST_SKIP() << "the sample product Beacon Monitor is not built (it needs the "
                            "MinGW-w64 compilers that scripts/bootstrap installs)";
        }
        // The desktop's opener, which shows the product's readme, stands in here and notes
        // what it was asked to open.
        kestrel::test::writeExecutable(work_ / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" +
                                                               opened().string() + "'\n");
    }

    SetupOutcome setup(const fs::path& prefix, const std::vector<std::string>& arguments) {
        return WineProductTest::setup(prefix, arguments, kDisk);
    }
    SetupOutcome install(const fs::path& prefix, const fs::path& script = kDisk / "Setup.inf") {
        return setup(prefix, {"/S", "/P" + kDisk.string() + "/", script.string()});
    }
    SetupOutcome uninstall(const fs::path& prefix) {
        return setup(prefix, {"/U", "/S", (kDisk / "Setup.inf").string()});
    }

    fs::path opened() const { return work_ / "opened.txt"; }
};

fs::path programFolder(const fs::path& prefix) {
    return prefix / "drive_c" / "Program Files (x86)" / "Beacon Monitor";
}

// The shell link a name, found below the users' folders; empty when there is none.
fs::path findLink(const fs::path& prefix, const std::string& name) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(prefix / "drive_c" / "users", ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename() == name) return it->path();
    }
    return {};
}

TEST_F(ProductInstall, WineSeesTheSilentInstallation) {
    const fs::path prefix = freshPrefix("prefix");
    const SetupOutcome installed = install(prefix);
    ASSERT_EQ(installed.exitCode, 0) << installed.output;

    // The registry as Windows programs read it: the settings in the installer's 32-bit view,
    // App Paths (shared between the views), the records and the list of installed programs.
    const Output settings = wine(prefix, {"reg", "query", kSettingsKey, "/reg:32"});
    EXPECT_EQ(settings.exitCode, 0);
    EXPECT_NE(settings.text.find("Station    REG_SZ    Harbour Light"), std::string::npos)
        << settings.text;
    EXPECT_NE(settings.text.find("Checks    REG_DWORD    0x3c"), std::string::npos)
        << settings.text;
    EXPECT_NE(settings.text.find("Program    REG_SZ    " + kProgram), std::string::npos)
        << settings.text;
    const Output appPath =
        wine(prefix,
             {"reg", "query",
              "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BEACON.EXE", "/ve"});
    EXPECT_NE(appPath.text.find(kProgram), std::string::npos) << appPath.text;
    const Output records = wine(
        prefix, {"reg", "query", kSettingsKey + "\\2.4\\Setup", "/v", "ProductName", "/reg:32"});
    EXPECT_NE(records.text.find("Beacon Monitor"), std::string::npos) << records.text;
    const Output list = wine(prefix, {"uninstaller", "--list"});
    EXPECT_NE(list.text.find("Beacon Monitor 2.4"), std::string::npos) << list.text;

    // The program finds everything it needs: the library from the cabinet, the registry, the
    // INI file and the message file of the default language.
    const Output run = wine(prefix, {kProgram});
    EXPECT_EQ(run.exitCode, 0) << run.text;
    for (const char* line : {"Beacon Monitor 2.4.1.7", "Library: Beacon library 1.2",
                             "Station: Harbour Light", "Interval: 60", "Language: English"})
        EXPECT_NE(run.text.find(line), std::string::npos) << line << " in\n" << run.text;

    // The start menu shortcut, opened by Wine's shell, starts the program.
    const fs::path link = findLink(prefix, "Beacon Monitor.lnk");
    ASSERT_FALSE(link.empty()) << "no shortcut Beacon Monitor.lnk below drive_c/users";
    const kestrel::test::ScopedEnv report("BEACON_REPORT", "Z:" + (work_ / "report.txt").string());
    wine(prefix, {"start", "/wait", "/unix", link.string()});
    EXPECT_NE(kestrel::test::readFile(work_ / "report.txt").find("Beacon Monitor 2.4.1.7"),
              std::string::npos);

    // The guide of the default component is there with its own shortcut.
    EXPECT_TRUE(fs::exists(programFolder(prefix) / "GUIDE.TXT"));
    EXPECT_FALSE(findLink(prefix, "User's Guide.lnk").empty());
    // The folder the script makes below the program's, whose path holds blanks, is there, and
    // nothing was made where that path would end at its first blank.
    EXPECT_TRUE(fs::is_directory(programFolder(prefix) / "Logs"));
    EXPECT_FALSE(fs::exists(prefix / "drive_c" / "Program"));
    // A silent installation has nobody to read its readme: the desktop's opener got nothing.
    EXPECT_FALSE(fs::exists(opened())) << kestrel::test::readFile(opened());
}

TEST_F(ProductInstall, UninstallingLeavesThePrefixAsItWas) {
    const fs::path prefix = freshPrefix("prefix");
    const auto exported = [&](const std::string& key) {
        return wine(prefix, {"reg", "query", key, "/s", "/reg:32"}).text;
    };
    const std::string machineBefore = exported("HKLM\\Software");
    const std::string userBefore = exported("HKCU\\Software");
    const MachineSnapshot before = snapshot(prefix);

    const SetupOutcome installed = install(prefix);
    ASSERT_EQ(installed.exitCode, 0) << installed.output;
    ASSERT_TRUE(fs::exists(programFolder(prefix) / "BEACON.EXE"));
    const SetupOutcome removed = uninstall(prefix);
    EXPECT_EQ(removed.exitCode, 0) << removed.output;

    EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");
    // And as Wine reads the registry back.
    EXPECT_EQ(exported("HKLM\\Software"), machineBefore);
    EXPECT_EQ(exported("HKCU\\Software"), userBefore);
}

// Wine's list of installed programs runs the uninstall command the installation registered,
// "%Windows%\_UnInst.exe" with the installed script and /U: the product's Setup.exe, which
// hands over to setup in the prefix of Wine's session. It asks at the terminal, as setup does
// without a display.
TEST_F(ProductInstall, WinesUninstallListRemovesItCompletely) {
    const fs::path prefix = freshPrefix("prefix");
    const MachineSnapshot before = snapshot(prefix);
    const SetupOutcome installed = install(prefix);
    ASSERT_EQ(installed.exitCode, 0) << installed.output;
    // Wine runs the installer copy as it is; a Linux program copied without its execute bit
    // would not run at all.
    EXPECT_TRUE((fs::status(prefix / "drive_c/windows/_UnInst.exe").permissions() &
                 fs::perms::owner_exec) != fs::perms::none);

    TerminalSession::Start how;
    how.argv = {"/bin/sh", "-c", "exec wine uninstaller --remove 'Beacon Monitor 2.4'"};
    how.directory = work_.path();
    how.environment = {{"WINEPREFIX", prefix.string()}, {"WINEDEBUG", "-all"}};
    how.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    TerminalSession terminal(how);
    ASSERT_TRUE(terminal.waitFor("The application 'Beacon Monitor' will be removed", 300))
        << terminal.output();
    terminal.type("y");
    ASSERT_TRUE(terminal.waitFor("is apparently no longer needed", 300)) << terminal.output();
    terminal.type("y");  // the _UnInst.exe of no other product
    ASSERT_TRUE(terminal.waitFor("Uninstallation complete.", 300)) << terminal.output();
    EXPECT_EQ(terminal.finish(300), 0) << terminal.output();
    EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");
}

// A copy of the product's disk whose script is changed by `edit`.
fs::path diskWith(const fs::path& folder, const std::function<void(std::string&)>& edit) {
    fs::copy(kDisk, folder, fs::copy_options::recursive);
    std::string text = kestrel::test::readFile(folder / "Setup.inf");
    edit(text);
    kestrel::test::writeFile(folder / "Setup.inf", text);
    return folder;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
}

// An upgrade removes the earlier version through the command that version registered, the
// default _UnInst.exe, before it installs.
TEST_F(ProductInstall, AnUpgradeRemovesTheEarlierVersionThroughItsUninstaller) {
    const fs::path earlier = diskWith(work_ / "disk-2.3", [](std::string& text) {
        replaceAll(text, "Beacon Monitor 2.4", "Beacon Monitor 2.3");
        replaceAll(text, "Beacon Monitor\\2.4", "Beacon Monitor\\2.3");
        replaceAll(text, "Version=2.4", "Version=2.3");
    });
    const fs::path later = diskWith(work_ / "disk-2.4", [](std::string& text) {
        replaceAll(text, "[Application]\r\n", "[Application]\r\nAskUninstallOld=1\r\n");
    });
    const fs::path prefix = freshPrefix("prefix");
    const MachineSnapshot before = snapshot(prefix);
    const auto installFrom = [&](const fs::path& disk) {
        return WineProductTest::setup(
            prefix, {"/S", "/P" + disk.string() + "/", (disk / "Setup.inf").string()}, disk);
    };
    const SetupOutcome old = installFrom(earlier);
    ASSERT_EQ(old.exitCode, 0) << old.output;
    ASSERT_NE(wine(prefix, {"uninstaller", "--list"}).text.find("Beacon Monitor 2.3"),
              std::string::npos);

    const SetupOutcome upgraded = installFrom(later);
    ASSERT_EQ(upgraded.exitCode, 0) << upgraded.output;
    const std::string list = wine(prefix, {"uninstaller", "--list"}).text;
    EXPECT_EQ(list.find("Beacon Monitor 2.3"), std::string::npos) << list;
    EXPECT_NE(list.find("Beacon Monitor 2.4"), std::string::npos) << list;
    EXPECT_NE(wine(prefix, {"reg", "query", kSettingsKey + "\\2.3", "/reg:32"}).exitCode, 0);
    EXPECT_TRUE(fs::exists(programFolder(prefix) / "BEACON.EXE"));

    const SetupOutcome removed =
        WineProductTest::setup(prefix, {"/U", "/S", (later / "Setup.inf").string()}, later);
    EXPECT_EQ(removed.exitCode, 0) << removed.output;
    EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");
}

// A copy of the product's script without one section.
fs::path scriptWithout(const fs::path& folder, const std::string& section) {
    std::string text = kestrel::test::readFile(kDisk / "Setup.inf");
    const std::size_t start = text.find("[" + section + "]");
    const std::size_t end = text.find("\r\n[", start);
    text.erase(start, end - start + 2);
    fs::create_directories(folder);
    kestrel::test::writeFile(folder / "Setup.inf", text);
    return folder / "Setup.inf";
}

// The disk and the script named from the current folder, as someone standing beside them
// types them.
TEST_F(ProductInstall, TheDiskMayBeNamedFromTheCurrentFolder) {
    const fs::path prefix = freshPrefix("prefix");
    const SetupOutcome installed = WineProductTest::setup(
        prefix,
        {"/S", "/P" + kDisk.filename().string() + "/", (kDisk.filename() / "Setup.inf").string()},
        kDisk.parent_path());
    ASSERT_EQ(installed.exitCode, 0) << installed.output;
    EXPECT_TRUE(fs::exists(programFolder(prefix) / "README.TXT"));
}

TEST_F(ProductInstall, BadInputFailsAndLeavesNothingHalfDone) {
    const fs::path prefix = freshPrefix("prefix");
    const MachineSnapshot before = snapshot(prefix);
    // After a failed run, the next one installs the product and removes it again entirely.
    const auto nextRunsRecover = [&] {
        const SetupOutcome again = install(prefix);
        EXPECT_EQ(again.exitCode, 0) << again.output;
        const SetupOutcome removed = uninstall(prefix);
        EXPECT_EQ(removed.exitCode, 0) << removed.output;
        EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");
    };

    // Binary garbage has no [Setup] Version: an old script's syntax, refused before any work.
    std::string garbage(4096, '\0');
    std::uint32_t state = 2463534242u;
    std::ranges::generate(garbage, [&state] {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        return static_cast<char>(state);
    });
    const fs::path garbled = work_ / "garbage.inf";
    kestrel::test::writeFile(garbled, garbage);
    const SetupOutcome refused = setup(prefix, {"/S", garbled.string()});
    EXPECT_EQ(refused.exitCode, kSetupFailed) << refused.output;
    EXPECT_NE(refused.output.find("has changed slightly since version 4.0"), std::string::npos)
        << refused.output;
    EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");

    // A component whose section is missing.
    const fs::path missing = scriptWithout(work_ / "missing", "Docs");
    const SetupOutcome unfound = install(prefix, missing);
    EXPECT_EQ(unfound.exitCode, kSetupFailed) << unfound.output;
    EXPECT_NE(unfound.output.find("Section 'Docs' not found!"), std::string::npos)
        << unfound.output;
    nextRunsRecover();

    // A source folder that does not exist.
    const SetupOutcome sourceless = setup(
        prefix,
        {"/S", "/P" + (work_ / "no-such-disk").string() + "/", (kDisk / "Setup.inf").string()});
    EXPECT_EQ(sourceless.exitCode, kSetupFailed) << sourceless.output;
    // Said with the first file it needs, or the disk that should hold it.
    EXPECT_TRUE(sourceless.output.find("README.TXT") != std::string::npos ||
                sourceless.output.find("Beacon Monitor Disk 1") != std::string::npos)
        << sourceless.output;
    nextRunsRecover();
}

}  // namespace
}  // namespace kestrel::setup::test
