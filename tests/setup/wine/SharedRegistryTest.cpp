// setup and the Windows programs of a prefix share one registry, the running wineserver's,
// as a user finds when installing products that start Windows programs: account and
// security lines around such programs, a program that registers itself and keeps its
// server, a server that is still ending when setup starts, a file that a Windows program
// holds. Every run ends as it should and leaves what it wrote; every removal leaves the
// prefix as it was.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "WineProductTest.h"
#include "platform/RestartOperations.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"
#include "program/RunEnd.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kLantern = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "lantern" / "files";
const fs::path kFileHolder = KESTREL_FILE_HOLDER;

// The header of every script here: the product Lantern Test 1.0 in C:\Lantern.
std::string script(const std::string& sections) {
    return "[Setup]\r\nVersion=5.11\r\n[Application]\r\nProductName=Lantern Test\r\n"
           "MachineKeyName=Kestrel\\Lantern Test\\1.0\r\nUninstallKeyName=Lantern Test\r\n"
           "UninstallDisplayName=Lantern Test 1.0\r\nApplicationDir=C:\\Lantern\r\n"
           "[Disks]\r\n1=Lantern\r\n" +
           sections;
}

// A Windows program of the prefix that holds a file open until it is let go.
class HeldFile {
  public:
    HeldFile(const fs::path& prefix, const std::string& file) {
        const auto started =
            platform::startWineConversation({"wine", kFileHolder.string(), file}, prefix);
        if (!started) return;
        holder_ = *started;
        std::string said;
        char c;
        pollfd ready{holder_.output, POLLIN, 0};
        while (said.find("held") == std::string::npos && ::poll(&ready, 1, 120'000) > 0 &&
               ::read(holder_.output, &c, 1) == 1)
            said.push_back(c);
        held_ = said.find("held") != std::string::npos;
    }
    ~HeldFile() { release(); }
    bool held() const { return held_; }
    void release() {
        if (holder_.pid < 0) return;
        ::close(holder_.input);
        ::close(holder_.output);
        if (holder_.errors >= 0) ::close(holder_.errors);
        int status;
        ::waitpid(holder_.pid, &status, 0);
        holder_.pid = -1;
    }

  private:
    platform::WineConversation holder_;
    bool held_ = false;
};

class SharedRegistryTest : public WineProductTest {
  protected:
    void SetUp() override {
        WineProductTest::SetUp();
        if (IsSkipped()) return;
        if (!fs::exists(kLantern / "LANTRNPG.EXE") || kFileHolder.empty()) {
            GTEST_SKIP() << "the sample product Lantern is not built (it needs the MinGW-w64 "
                            "compiler for x86-64 that scripts/bootstrap installs)";
        }
        fs::create_directories(disk_);
        for (const char* name : {"LANTRNPG.EXE", "LANTRNSV.EXE"})
            fs::copy_file(kLantern / name, disk_ / name);
    }
    void writeScript(const std::string& sections) {
        kestrel::test::writeFile(disk_ / "Setup.inf", script(sections));
    }
    SetupOutcome install(const fs::path& prefix, std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), {"/S", "/P" + disk_.string() + "/"});
        arguments.push_back((disk_ / "Setup.inf").string());
        return setup(prefix, arguments, disk_);
    }
    SetupOutcome uninstall(const fs::path& prefix) {
        return setup(prefix, {"/U", "/S", (disk_ / "Setup.inf").string()}, disk_);
    }
    // `wine reg query <key> /s` in the 64-bit view, or the 32-bit view that setup writes.
    std::string query(const fs::path& prefix, const std::string& key, bool ofSetup = true) {
        return wine(prefix, {"reg", "query", key, "/s", ofSetup ? "/reg:32" : "/reg:64"}).text;
    }

    // Installs the script's product into a fresh prefix, hands the prefix to `installed`,
    // removes the product right after and checks that the prefix is as it was.
    void roundTrip(const std::function<void(const fs::path&)>& installed) {
        const fs::path prefix = freshPrefix("prefix");
        const MachineSnapshot before = snapshot(prefix);
        const SetupOutcome done = install(prefix);
        ASSERT_EQ(done.exitCode, 0) << done.output;
        installed(prefix);
        const SetupOutcome removed = uninstall(prefix);
        EXPECT_EQ(removed.exitCode, 0) << removed.output;
        EXPECT_EQ(before.differencesTo(snapshot(prefix)), "");
    }

    const fs::path disk_ = work_ / "disk";
};

// The account store once kept the registry object that every Windows program's run
// replaced: the next security line after one ended the run with a segmentation fault.
TEST_F(SharedRegistryTest, SecurityLinesAroundAWindowsProgram) {
    writeScript(
        "[Copy]\r\nSecurity=Accounts,COPYALWAYS\r\nProgram=Program,COPYALWAYS\r\n"
        "[Security]\r\nLocalGroup.Add ('Lantern Keepers', 'Keep the lantern')\r\n"
        "[Program]\r\nCall C:\\windows\\system32\\reg.exe query HKLM\\Software\\Microsoft\r\n"
        "1:LANTRNSV.EXE,LANTRNSV.EXE,SERVICE,,KestrelLantern\r\n"
        "[Services]\r\nKestrelLantern=Kestrel Lantern,,,,,,lanternsvc,secret\r\n");
    roundTrip([this](const fs::path& prefix) {
        const std::string accounts = query(prefix, R"(HKLM\Software\Kestrel\LocalAccounts)", false);
        EXPECT_NE(accounts.find("Groups\\Lantern Keepers"), std::string::npos) << accounts;
        EXPECT_NE(accounts.find("Users\\lanternsvc"), std::string::npos) << accounts;
        EXPECT_NE(accounts.find("SeServiceLogonRight"), std::string::npos) << accounts;
        const std::string service =
            query(prefix, R"(HKLM\System\CurrentControlSet\Services\KestrelLantern)", false);
        EXPECT_NE(service.find(".\\lanternsvc"), std::string::npos) << service;
    });
}

// A program registering itself is started without waiting and keeps its server; what the
// run writes after it (an event source, a service, the records) once went into hive files
// that the server then wrote over, and its unregistration ran after its file was deleted.
TEST_F(SharedRegistryTest, ASelfRegisteringProgramAndWhatFollowsIt) {
    writeScript(
        "[Copy]\r\nProgram=Program,COPYALWAYS\r\n"
        "[Program]\r\n1:LANTRNPG.EXE,LANTRNPG.EXE,REGISTER\r\n1:LANTRNSV.EXE,LANTRNSV.EXE\r\n"
        "AddService KestrelLantern,%App%\\LANTRNSV.EXE\r\n"
        "[Services]\r\nKestrelLantern=Kestrel Lantern\r\n"
        "[EventSources]\r\nKestrelLantern=Application,7,%App%\\LANTRNSV.EXE\r\n");
    roundTrip([this](const fs::path& prefix) {
        EXPECT_NE(
            query(prefix, R"(HKLM\Software\Kestrel\LanternProgram)", false).find("Registered"),
            std::string::npos);
        EXPECT_NE(query(prefix, R"(HKLM\System\CurrentControlSet\Services\KestrelLantern)", false)
                      .find("LANTRNSV.EXE"),
                  std::string::npos);
        EXPECT_NE(
            query(prefix,
                  R"(HKLM\System\CurrentControlSet\Services\EventLog\Application\KestrelLantern)",
                  false)
                .find("EventMessageFile"),
            std::string::npos);
        EXPECT_NE(
            query(prefix, R"(HKLM\Software\Kestrel\Lantern Test\1.0\Setup)").find("ProductName"),
            std::string::npos);
        EXPECT_NE(wine(prefix, {"uninstaller", "--list"}).text.find("Lantern Test 1.0"),
                  std::string::npos);
    });
}

// Wine keeps a server for a few seconds after its last program; setup started meanwhile
// once found it running and gave up.
TEST_F(SharedRegistryTest, AServerStillEndingWhenSetupStarts) {
    writeScript(
        "[Copy]\r\nProgram=Program,COPYALWAYS\r\n"
        "[Program]\r\n1:LANTRNSV.EXE,LANTRNSV.EXE\r\n"
        "[Program.reg]\r\nHKLM\\Software\\Kestrel\\Lantern Test:Lit=1\r\n");
    roundTrip([this](const fs::path& prefix) {
        ASSERT_TRUE(platform::waitForWineServer(prefix, platform::defaultWineServerDirectory(),
                                                60s) == platform::WineServerWait::Ended);
        // Right after a Windows program, as a user types the next command.
        const Output asked = wineInSession(
            prefix, {"reg", "query", R"(HKLM\Software\Kestrel\Lantern Test\1.0\Setup)", "/reg:32"});
        ASSERT_EQ(asked.exitCode, 0) << asked.text;
    });
}

// A file that a Windows program holds is replaced at the next start of the prefix, never
// earlier by a Windows program that setup itself starts; setup once refused to run at all.
TEST_F(SharedRegistryTest, AFileHeldByAWindowsProgramWaitsForTheRestart) {
    writeScript(
        "[Copy]\r\nProgram=Program,COPYALWAYS\r\n"
        "[Program]\r\n1:LIB.TXT,LIB.TXT,ALWAYS\r\n"
        "Call C:\\windows\\system32\\reg.exe query HKLM\\Software\\Microsoft\r\n");
    kestrel::test::writeFile(disk_ / "LIB.TXT", "new");
    const fs::path prefix = freshPrefix("prefix");
    const fs::path library = prefix / "drive_c" / "Lantern" / "LIB.TXT";
    fs::create_directories(library.parent_path());
    kestrel::test::writeFile(library, "old");

    HeldFile holder(prefix, "C:\\Lantern\\LIB.TXT");
    ASSERT_TRUE(holder.held());
    // Its caller restarts (/X8): the exit code says that the restart is due (6702, of which
    // an exit status keeps the low 8 bits).
    const SetupOutcome installed = install(prefix, {"/X8"});
    ASSERT_EQ(installed.exitCode, kExitRestartByCaller & 0xFF) << installed.output;
    EXPECT_EQ(kestrel::test::readFile(library), "old");
    const std::string pending =
        wineInSession(prefix, {"reg", "query", "HKLM\\" + std::string(platform::kSessionManagerKey),
                               "/v", std::string(platform::kPendingRenamesValue)})
            .text;
    EXPECT_NE(pending.find("LIB.TXT"), std::string::npos) << pending;

    holder.release();
    const Output restarted = wine(prefix, {"wineboot", "--restart"});
    EXPECT_EQ(restarted.exitCode, 0);
    EXPECT_EQ(kestrel::test::readFile(library), "new");
    EXPECT_FALSE(fs::exists(library.parent_path() / "LIB.000"));
}

}  // namespace
}  // namespace kestrel::setup::test
