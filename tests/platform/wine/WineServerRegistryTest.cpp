// The registry through a running wineserver (kestrel-registry.exe under Wine) against the
// hive files: the same calls give the same answers, Windows programs and we see each other's
// changes at once, and what either side wrote is in the hive files once the server has ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "platform/MachineRoot.h"
#include "platform/RestartOperations.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kHelper = KESTREL_REGISTRY_HELPER;

class WineServerRegistryTest : public test::WineTest {
  protected:
    void SetUp() override {
        WineTest::SetUp();
        if (IsSkipped()) return;
        if (kHelper.empty()) GTEST_SKIP() << "kestrel-registry.exe is not built (no MinGW-w64)";
    }
    std::unique_ptr<MachineRoot> open(const fs::path& prefix, bool throughServer = true) {
        MachineRootOptions options{"alice", {}};
        if (throughServer) options.registryHelper = kHelper;
        auto root = MachineRoot::open(prefix, options);
        EXPECT_TRUE(root.has_value()) << (root ? "" : root.error());
        if (!root) return nullptr;
        // As before the first Windows program of a run.
        if (throughServer) {
            EXPECT_THAT((*root)->registry().goThroughServer(), test::Succeeded());
        }
        return std::move(root.value());
    }
    // The root as setup opens it: the hive files are the registry until a server runs.
    std::unique_ptr<MachineRoot> openUntilNeeded(const fs::path& prefix) {
        MachineRootOptions options{"alice", {}};
        options.registryHelper = kHelper;
        auto root = MachineRoot::open(prefix, options);
        EXPECT_TRUE(root.has_value()) << (root ? "" : root.error());
        return root ? std::move(root.value()) : nullptr;
    }
    // A prefix of this test, copied from the shared one, so that its hive files are its own.
    fs::path ownPrefix() {
        const fs::path prefix = dir_ / "prefix";
        fs::copy(sharedPrefix(), prefix,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        stopServerAtEnd(prefix);
        return prefix;
    }
    // The value as the hive files hold it, once the prefix's server has written them.
    std::string valueInHives(const fs::path& prefix, std::string_view key, std::string_view name) {
        EXPECT_EQ(waitForWineServer(prefix, defaultWineServerDirectory(), 60s),
                  WineServerWait::Ended);
        auto registry = Registry::open(prefix);
        RegistryValue value;
        if (!registry || (*registry)->queryValue(RegistryRoot::LocalMachine, key, name, &value))
            return "(none)";
        return value.textValue();
    }

    test::TempDir dir_;
};

// Every kind of call, with what it answers, as text.
std::vector<std::string> exercise(Registry& registry) {
    using Root = RegistryRoot;
    std::vector<std::string> log;
    const auto note = [&log](const std::string& what, long error) {
        log.push_back(what + ": " + std::to_string(error));
    };
    const std::string key = "Software\\KestrelBoth";
    bool created = false;
    note("create", registry.createKey(Root::LocalMachine, key + "\\Sub\\Deeper", false, &created));
    log.push_back(created ? "new" : "old");
    note("create again", registry.createKey(Root::LocalMachine, key + "\\Sub", false, &created));
    log.push_back(created ? "new" : "old");

    const std::pair<std::string, RegistryValue> values[] = {
        {"Text", RegistryValue::text(kRegSz,
                                     "Gr\xc3\xbc\xc3\x9f"
                                     "e \xe2\x98\x83")},
        {"", RegistryValue::text(kRegSz, "the default value")},
        {"Expand", RegistryValue::text(kRegExpandSz, "%SystemRoot%\\x")},
        {"List", RegistryValue::multiString({"one", "two", ""})},
        {"Number", RegistryValue::dword(0xdeadbeef)},
        {"Big", RegistryValue::bytes(kRegBinary, std::string(100000, '\x7f'))},
        {"Odd type", RegistryValue::bytes(42, "\x01\x02")},
        {"Empty", RegistryValue::bytes(kRegBinary, "")},
    };
    for (const auto& [name, value] : values) {
        note("set " + name, registry.setValue(Root::LocalMachine, key, name, value));
        RegistryValue back;
        note("query " + name, registry.queryValue(Root::LocalMachine, key, name, &back));
        log.push_back(back == value ? "same" : "differs: type " + std::to_string(back.type));
    }
    std::vector<std::string> names;
    note("value names", registry.valueNames(Root::LocalMachine, key, &names));
    for (const std::string& name : names) log.push_back("value " + name);
    note("subkey names", registry.subkeyNames(Root::LocalMachine, key, &names));
    for (const std::string& name : names) log.push_back("subkey " + name);
    RegistryKeyInfo info;
    note("info", registry.queryKeyInfo(Root::LocalMachine, key, &info));
    log.push_back(std::to_string(info.subkeys) + " subkeys " + std::to_string(info.values) +
                  " values");

    note("delete with subkeys", registry.deleteKey(Root::LocalMachine, key));
    note("delete missing value", registry.deleteValue(Root::LocalMachine, key, "Missing"));
    note("query missing value", registry.queryValue(Root::LocalMachine, key, "Missing", nullptr));
    note("open missing key", registry.openKey(Root::LocalMachine, key + "\\Missing"));
    note("set on missing key",
         registry.setValue(Root::LocalMachine, key + "\\Missing", "X", RegistryValue::dword(1)));
    note("delete value", registry.deleteValue(Root::LocalMachine, key, "Number"));
    // The counts a removal asks for next, of that key and of no other.
    note("info after removal", registry.queryKeyInfo(Root::LocalMachine, key, &info));
    log.push_back(std::to_string(info.subkeys) + " subkeys " + std::to_string(info.values) +
                  " values");
    note("delete value again", registry.deleteValue(Root::LocalMachine, key, "Text"));
    note("info of another", registry.queryKeyInfo(Root::LocalMachine, key + "\\Sub", &info));
    log.push_back(std::to_string(info.subkeys) + " subkeys " + std::to_string(info.values) +
                  " values");
    note("name too long",
         registry.createKey(Root::LocalMachine, key + "\\" + std::string(256, 'n')));

    // The user's keys, under HKEY_CURRENT_USER and HKEY_USERS alike; the classes.
    note("user key", registry.createKey(Root::CurrentUser, key));
    note("user value", registry.setValue(Root::CurrentUser, key, "Who", RegistryValue::dword(7)));
    RegistryValue who;
    note("user value by SID",
         registry.queryValue(Root::Users, std::string(Registry::kDefaultUserSid) + "\\" + key,
                             "Who", &who));
    log.push_back(std::to_string(who.dwordValue()));
    note("class key", registry.createKey(Root::ClassesRoot, "KestrelBoth.Document"));
    note("class key in the machine",
         registry.openKey(Root::LocalMachine, "Software\\Classes\\KestrelBoth.Document"));
    note("default user", registry.openKey(Root::Users, ".Default\\Software"));

    note("delete tree", registry.deleteTree(Root::LocalMachine, key));
    note("gone", registry.openKey(Root::LocalMachine, key + "\\Sub"));
    note("delete user key", registry.deleteTree(Root::CurrentUser, key));
    note("delete class key", registry.deleteKey(Root::ClassesRoot, "KestrelBoth.Document"));
    return log;
}

TEST_F(WineServerRegistryTest, AnswersAsTheHiveFilesDo) {
    const fs::path prefix = ownPrefix();
    auto files = Registry::open(prefix);
    ASSERT_TRUE(files.has_value());
    const std::vector<std::string> expected = exercise(**files);
    // The answers themselves, as Windows gives them.
    for (const char* answer :
         {"new", "query Text: 0", "query Big: 0", "delete with subkeys: 5", "set on missing key: 2",
          "name too long: 87", "user value by SID: 0", "gone: 2"})
        EXPECT_NE(std::find(expected.begin(), expected.end(), answer), expected.end()) << answer;
    EXPECT_EQ(std::count(expected.begin(), expected.end(), "same"), 8);

    auto root = open(prefix);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->registry().throughWineServer());
    EXPECT_EQ(exercise(root->registry()), expected);
}

// Faults of the old bracket around each Windows program: the registry object was replaced
// under whoever held it, and writes made meanwhile were lost.
TEST_F(WineServerRegistryTest, WindowsProgramsAndWeSeeEachOthersChangesAtOnce) {
    const fs::path prefix = ownPrefix();
    auto root = open(prefix);
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    ASSERT_TRUE(registry.throughWineServer());
    constexpr std::string_view key = "Software\\KestrelShared";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Ours",
                                RegistryValue::text(kRegSz, "from us")),
              0);

    // Nothing saved, nothing waited for: the program reads it from the server.
    const Output query = wineInSession(prefix, {"reg", "query", R"(HKLM\Software\KestrelShared)"});
    EXPECT_NE(query.text.find("from us"), std::string::npos) << query.text;
    const auto ran = root->runThroughWine(
        {"reg", "add", R"(HKLM\Software\KestrelShared)", "/v", "Theirs", "/d", "from wine", "/f"},
        120s);
    ASSERT_TRUE(ran.has_value()) << ran.error();
    EXPECT_EQ(*ran, 0);
    EXPECT_EQ(&root->registry(), &registry);
    EXPECT_TRUE(root->wineServerRunning());
    RegistryValue value;
    ASSERT_EQ(registry.queryValue(RegistryRoot::LocalMachine, key, "Theirs", &value), 0);
    EXPECT_EQ(value.textValue(), "from wine");
    EXPECT_THAT(registry.save(), test::Succeeded());  // nothing to write: the server has it

    root.reset();  // the helper ends, and after it the server, which writes the hives
    EXPECT_EQ(valueInHives(prefix, key, "Ours"), "from us");
    EXPECT_EQ(valueInHives(prefix, key, "Theirs"), "from wine");
}

// The Windows version and the code page are read once and then answered from memory: a
// Windows program the run starts may change them, and the next read must say so.
TEST_F(WineServerRegistryTest, SettingsAWindowsProgramChangedAreReadAgain) {
    auto root = open(ownPrefix());
    ASSERT_TRUE(root);
    ASSERT_EQ(ansiCodePage(root->registry()).number(), 1252u);
    ASSERT_NE(root->windowsVersion().major, 5);
    const auto changed =
        root->runThroughWine({"reg", "add", R"(HKLM\System\CurrentControlSet\Control\Nls\CodePage)",
                              "/v", "ACP", "/d", "1251", "/f"},
                             120s);
    ASSERT_TRUE(changed.has_value()) << changed.error();
    EXPECT_EQ(ansiCodePage(root->registry()).number(), 1251u);
    const auto version = root->runThroughWine(
        {"reg", "add", R"(HKCU\Software\Wine)", "/v", "Version", "/d", "win2k", "/f"}, 120s);
    ASSERT_TRUE(version.has_value()) << version.error();
    EXPECT_EQ(root->windowsVersion().major, 5);
    EXPECT_EQ(root->windowsVersion().minor, 0);
}

// We keep keys open between calls; one that a Windows program deletes meanwhile is gone for
// us too, and made anew when we create it again.
TEST_F(WineServerRegistryTest, AKeyAWindowsProgramDeletedIsGoneForUsToo) {
    auto root = open(ownPrefix());
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    constexpr std::string_view key = "Software\\KestrelDeleted";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "V", RegistryValue::dword(1)), 0);
    ASSERT_EQ(
        wineInSession(root->prefix(), {"reg", "delete", R"(HKLM\Software\KestrelDeleted)", "/f"})
            .exitCode,
        0);
    EXPECT_EQ(registry.openKey(RegistryRoot::LocalMachine, key), kErrorFileNotFound);
    EXPECT_EQ(registry.queryValue(RegistryRoot::LocalMachine, key, "V", nullptr),
              kErrorFileNotFound);
    EXPECT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "V", RegistryValue::dword(2)),
              kErrorFileNotFound);
    bool created = false;
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key, false, &created), 0);
    EXPECT_TRUE(created);
    EXPECT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "V", RegistryValue::dword(3)), 0);
    const Output query =
        wineInSession(root->prefix(), {"reg", "query", R"(HKLM\Software\KestrelDeleted)"});
    EXPECT_NE(query.text.find("0x3"), std::string::npos) << query.text;
}

// Values set in a key known to exist go to the server without waiting for its answers: many
// more than fit in the pipe back, changes of one value in the order made, and all of them
// there for a Windows program started next and in the hive files when the run ends at once.
TEST_F(WineServerRegistryTest, ValuesSentAheadAllArriveInOrder) {
    const fs::path prefix = ownPrefix();
    auto root = open(prefix);
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    constexpr std::string_view key = "Software\\KestrelAhead";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    constexpr int kValues = 3000;
    for (int i = 0; i < kValues; ++i) {
        ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "V" + std::to_string(i),
                                    RegistryValue::dword(static_cast<std::uint32_t>(i))),
                  0);
        ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Last",
                                    RegistryValue::dword(static_cast<std::uint32_t>(i))),
                  0);
    }
    const auto ran =
        root->runThroughWine({"reg", "query", R"(HKLM\Software\KestrelAhead)", "/v", "Last"}, 120s);
    ASSERT_TRUE(ran.has_value()) << ran.error();
    EXPECT_EQ(*ran, 0);
    RegistryKeyInfo info;
    ASSERT_EQ(registry.queryKeyInfo(RegistryRoot::LocalMachine, key, &info), 0);
    EXPECT_EQ(info.values, kValues + 1u);
    for (int i = 0; i < kValues; ++i) {
        ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Late" + std::to_string(i),
                                    RegistryValue::text(kRegSz, "late " + std::to_string(i))),
                  0);
    }
    root.reset();  // with answers outstanding
    EXPECT_EQ(valueInHives(prefix, key, "Late" + std::to_string(kValues - 1)),
              "late " + std::to_string(kValues - 1));
    auto files = Registry::open(prefix);
    ASSERT_TRUE(files.has_value());
    RegistryValue last;
    ASSERT_EQ((*files)->queryValue(RegistryRoot::LocalMachine, key, "Last", &last), 0);
    EXPECT_EQ(last.dwordValue(), kValues - 1u);
    ASSERT_EQ((*files)->queryKeyInfo(RegistryRoot::LocalMachine, key, &info), 0);
    EXPECT_EQ(info.values, 2 * kValues + 1u);
}

// A value sent without waiting to a key a Windows program removed meanwhile is refused by the
// server; the next save says which, once, as a save of the hive files says it failed.
TEST_F(WineServerRegistryTest, AValueTheServerRefusedIsReportedBySave) {
    auto root = open(ownPrefix());
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    constexpr std::string_view key = "Software\\KestrelRefused";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_EQ(
        wineInSession(root->prefix(), {"reg", "delete", R"(HKLM\Software\KestrelRefused)", "/f"})
            .exitCode,
        0);
    for (const char* name : {"First", "Second"})
        ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, name, RegistryValue::dword(1)),
                  0);
    const auto saved = registry.save();
    ASSERT_FALSE(saved.has_value());
    EXPECT_EQ(saved.error().code, kErrorFileNotFound);
    EXPECT_EQ(saved.error().message,
              "the registry of Wine did not set value \"First\" of "
              "HKEY_LOCAL_MACHINE\\Software\\KestrelRefused (error 2), nor the change after it");
    EXPECT_THAT(registry.save(), test::Succeeded());
    // The key is looked up again, and the refusal now comes at once.
    EXPECT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Third", RegistryValue::dword(1)),
              kErrorFileNotFound);
}

// A helper that Wine cannot run leaves the hive files the registry, said on standard error,
// while no server runs; while one does, nothing written to them would last, and opening the
// root fails, saying why with what Wine said.
TEST_F(WineServerRegistryTest, AHelperThatCannotRunLeavesTheHiveFilesOrSaysWhy) {
    const fs::path prefix = ownPrefix();
    const fs::path broken = dir_ / "broken.exe";
    test::writeFile(broken, "no program");
    MachineRootOptions options{"alice", {}};
    options.registryHelper = broken;
    auto root = MachineRoot::open(prefix, options);
    ASSERT_TRUE(root.has_value()) << root.error();
    EXPECT_FALSE((*root)->registry().throughWineServer());
    // Tried before the first Windows program; the server that the attempt started has ended.
    EXPECT_THAT((*root)->handRegistryToWine(), test::Succeeded());
    EXPECT_FALSE((*root)->registry().throughWineServer());
    EXPECT_FALSE((*root)->wineServerRunning());
    root->reset();

    ASSERT_TRUE(runWineTool({"wineserver", "-p"}, prefix, 30s).finished());
    const auto refused = MachineRoot::open(prefix, options);
    ASSERT_FALSE(refused.has_value());
    EXPECT_NE(refused.error().find("cannot reach the registry of the running Wine"),
              std::string::npos)
        << refused.error();
    // And why, in Wine's words from the helper's standard error (the loader's own, written
    // before it ends, unlike what a program it hands over to may write later).
    options.registryHelper = dir_ / "missing.exe";
    const auto missing = MachineRoot::open(prefix, options);
    ASSERT_FALSE(missing.has_value());
    EXPECT_NE(missing.error().find("failed to open"), std::string::npos) << missing.error();
}

// The hive files are read once the server that a helper could not reach has ended, so they
// hold what Windows programs wrote through it.
TEST_F(WineServerRegistryTest, AfterAHelperThatCannotRunTheFilesAreReadOnceTheServerEnded) {
    const fs::path prefix = ownPrefix();
    const fs::path broken = dir_ / "broken.exe";
    test::writeFile(broken, "no program");
    // The program ends; its server stays a few seconds, the value only in its memory.
    ASSERT_EQ(wineInSession(prefix, {"reg", "add", R"(HKLM\Software\KestrelLate)", "/v", "Late",
                                     "/d", "from wine", "/f"})
                  .exitCode,
              0);
    MachineRootOptions options{"alice", {}};
    options.registryHelper = broken;
    auto root = MachineRoot::open(prefix, options);
    ASSERT_TRUE(root.has_value()) << root.error();
    ASSERT_FALSE((*root)->registry().throughWineServer());
    RegistryValue value;
    ASSERT_EQ((*root)->registry().queryValue(RegistryRoot::LocalMachine, "Software\\KestrelLate",
                                             "Late", &value),
              0);
    EXPECT_EQ(value.textValue(), "from wine");
}

// Setup writes the hive files while no server runs, and goes through the first server that
// does: a program that another started gets what we had not saved, and we see what it wrote.
TEST_F(WineServerRegistryTest, TheHiveFilesAreTheRegistryUntilAServerRuns) {
    const fs::path prefix = ownPrefix();
    auto root = openUntilNeeded(prefix);
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    ASSERT_FALSE(registry.throughWineServer());
    constexpr std::string_view key = R"(Software\KestrelUntil)";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Before",
                                RegistryValue::text(kRegSz, "before the session")),
              0);
    EXPECT_FALSE(root->wineServerRunning());  // nothing has started Wine

    ASSERT_EQ(wineInSession(prefix, {"reg", "add", R"(HKLM\Software\KestrelUntil)", "/v", "Theirs",
                                     "/d", "from wine", "/f"})
                  .exitCode,
              0);
    std::this_thread::sleep_for(100ms);  // past the next look for a server
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "After",
                                RegistryValue::text(kRegSz, "after it")),
              0);
    ASSERT_TRUE(registry.throughWineServer());
    RegistryValue theirs;
    ASSERT_EQ(registry.queryValue(RegistryRoot::LocalMachine, key, "Theirs", &theirs), 0);
    EXPECT_EQ(theirs.textValue(), "from wine");
    const Output query = wineInSession(prefix, {"reg", "query", R"(HKLM\Software\KestrelUntil)"});
    EXPECT_NE(query.text.find("before the session"), std::string::npos) << query.text;
    EXPECT_NE(query.text.find("after it"), std::string::npos) << query.text;
    root.reset();
    EXPECT_EQ(valueInHives(prefix, key, "Before"), "before the session");
    EXPECT_EQ(valueInHives(prefix, key, "Theirs"), "from wine");
}

// A session's start carries out the restart operations the hive files hold. Ours, scheduled
// before the first Windows program started the session, are left for the restart after it;
// the earlier ones are carried out once, not again at that restart.
TEST_F(WineServerRegistryTest, OperationsScheduledBeforeTheSessionWaitForTheRestart) {
    const fs::path prefix = ownPrefix();
    const fs::path drive = prefix / "drive_c";
    test::writeFile(drive / "earlier.txt", "scheduled by an earlier run");
    {
        auto earlier = open(prefix, false);
        ASSERT_TRUE(earlier);
        ASSERT_THAT(scheduleAtRestart(*earlier, "C:\\earlier.txt", std::nullopt),
                    test::Succeeded());
        ASSERT_THAT(earlier->registry().save(), test::Succeeded());
    }
    auto root = openUntilNeeded(prefix);
    ASSERT_TRUE(root);
    test::writeFile(drive / "ours.txt", "held");
    ASSERT_THAT(scheduleAtRestart(*root, "C:\\ours.txt", std::nullopt), test::Succeeded());
    ASSERT_THAT(root->handRegistryToWine(), test::Succeeded());
    ASSERT_TRUE(root->registry().throughWineServer());
    EXPECT_FALSE(fs::exists(drive / "earlier.txt"));
    EXPECT_TRUE(fs::exists(drive / "ours.txt"));
    RegistryValue pending;
    ASSERT_EQ(root->registry().queryValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                          kPendingRenamesValue, &pending),
              0);
    using namespace std::string_literals;
    EXPECT_EQ(bytesToUtf16(pending.data), u"\\??\\C:\\ours.txt\0\0\0"s);

    test::writeFile(drive / "earlier.txt", "made again since");
    ASSERT_THAT(restartMachineRoot(*root), test::Succeeded());
    EXPECT_FALSE(fs::exists(drive / "ours.txt"));
    EXPECT_TRUE(fs::exists(drive / "earlier.txt"));
}

TEST_F(WineServerRegistryTest, ChangesNotSavedYetGoToTheServer) {
    const fs::path prefix = ownPrefix();
    auto registry = Registry::open(prefix);
    ASSERT_TRUE(registry.has_value());
    Registry& ours = **registry;
    constexpr std::string_view key = "Software\\KestrelCarried";
    ASSERT_EQ(ours.createKey(RegistryRoot::LocalMachine, std::string(key) + "\\Gone"), 0);
    ASSERT_EQ(ours.setValue(RegistryRoot::LocalMachine, key, "Kept", RegistryValue::dword(5)), 0);
    ASSERT_EQ(ours.setValue(RegistryRoot::LocalMachine, key, "Dropped", RegistryValue::dword(6)),
              0);
    ASSERT_EQ(ours.deleteValue(RegistryRoot::LocalMachine, key, "Dropped"), 0);
    ASSERT_EQ(ours.deleteKey(RegistryRoot::LocalMachine, std::string(key) + "\\Gone"), 0);
    ASSERT_EQ(ours.createKey(RegistryRoot::CurrentUser, key), 0);

    ASSERT_THAT(ours.useWineServer(kHelper), test::Succeeded());
    const Output machine =
        wineInSession(prefix, {"reg", "query", R"(HKLM\Software\KestrelCarried)", "/s"});
    EXPECT_NE(machine.text.find("Kept    REG_DWORD    0x5"), std::string::npos) << machine.text;
    EXPECT_EQ(machine.text.find("Dropped"), std::string::npos) << machine.text;
    EXPECT_EQ(machine.text.find("Gone"), std::string::npos) << machine.text;
    EXPECT_EQ(wineInSession(prefix, {"reg", "query", R"(HKCU\Software\KestrelCarried)"}).exitCode,
              0);
}

// A server that has just served a Windows program stays a few seconds: it is joined.
TEST_F(WineServerRegistryTest, AServerThatIsEndingIsJoined) {
    const fs::path prefix = ownPrefix();
    ASSERT_EQ(
        wineInSession(prefix, {"reg", "add", R"(HKLM\Software\KestrelJoined)", "/f"}).exitCode, 0);
    ASSERT_TRUE(wineServerRunning(prefix, defaultWineServerDirectory()));
    auto root = open(prefix);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->registry().throughWineServer());
    EXPECT_EQ(root->registry().openKey(RegistryRoot::LocalMachine, "Software\\KestrelJoined"), 0);
    EXPECT_EQ(root->registry().setValue(RegistryRoot::LocalMachine, "Software\\KestrelJoined",
                                        "Late", RegistryValue::text(kRegSz, "in time")),
              0);
    root.reset();
    EXPECT_EQ(valueInHives(prefix, "Software\\KestrelJoined", "Late"), "in time");
}

// Without the helper the hive files are the registry: a Windows program gets them before it
// starts and gives them back after, and the registry object stays the one its users hold,
// with the changes it had not saved.
TEST_F(WineServerRegistryTest, WithTheHiveFilesTheObjectAndItsUnsavedChangesStay) {
    const fs::path prefix = ownPrefix();
    auto root = open(prefix, false);
    ASSERT_TRUE(root);
    Registry& registry = root->registry();
    ASSERT_FALSE(registry.throughWineServer());
    constexpr std::string_view key = "Software\\KestrelBracket";
    ASSERT_EQ(registry.createKey(RegistryRoot::LocalMachine, key), 0);
    ASSERT_TRUE(root->handRegistryToWine().has_value());
    ASSERT_EQ(registry.setValue(RegistryRoot::LocalMachine, key, "Unsaved",
                                RegistryValue::text(kRegSz, "still here")),
              0);
    // A program that was not waited for writes the hives when its server ends.
    ASSERT_EQ(wine(prefix, {"reg", "add", R"(HKLM\Software\KestrelBracket)", "/v", "Theirs", "/d",
                            "from wine", "/f"})
                  .exitCode,
              0);
    ASSERT_TRUE(root->takeRegistryBack().has_value());
    EXPECT_EQ(&root->registry(), &registry);
    RegistryValue value;
    ASSERT_EQ(registry.queryValue(RegistryRoot::LocalMachine, key, "Theirs", &value), 0);
    ASSERT_EQ(registry.queryValue(RegistryRoot::LocalMachine, key, "Unsaved", &value), 0);
    EXPECT_EQ(value.textValue(), "still here");
    ASSERT_THAT(registry.save(), test::Succeeded());
    EXPECT_EQ(valueInHives(prefix, key, "Theirs"), "from wine");
    EXPECT_EQ(valueInHives(prefix, key, "Unsaved"), "still here");
}

}  // namespace
}  // namespace kestrel::platform
