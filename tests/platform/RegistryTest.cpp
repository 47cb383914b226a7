#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "ExpectedMatchers.h"
#include "TestSupport.h"
#include "platform/RegistryKey.h"
#include "platform/WideText.h"
#include "platform/WindowsErrors.h"
#include "platform/WineServer.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using Root = RegistryRoot;

class RegistryTest : public ::testing::Test {
  protected:
    std::unique_ptr<Registry> openRegistry() {
        auto registry = Registry::open(dir_.path(), dir_ / "servers");
        EXPECT_TRUE(registry.has_value()) << (registry ? "" : registry.error().describe());
        return registry ? std::move(registry.value()) : nullptr;
    }
    std::string text(Registry& registry, Root root, std::string_view key, std::string_view name) {
        RegistryValue value;
        if (registry.queryValue(root, key, name, &value) != 0) return "<missing>";
        return value.textValue();
    }
    void linkControlSet(Registry& registry) {
        EXPECT_EQ(registry.createKey(Root::LocalMachine, "System\\ControlSet001"), 0);
        EXPECT_EQ(registry.createLink(Root::LocalMachine, "System\\CurrentControlSet",
                                      "\\Registry\\Machine\\System\\ControlSet001"),
                  0);
    }

    test::TempDir dir_;
};

TEST_F(RegistryTest, KeysAndValuesWithWindowsErrorCodes) {
    auto registry = openRegistry();
    bool created = false;
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\Acme"), kErrorFileNotFound);
    EXPECT_EQ(
        registry->setValue(Root::LocalMachine, "Software\\Acme", "x", RegistryValue::dword(1)),
        kErrorFileNotFound);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Acme\\App", false, &created), 0);
    EXPECT_TRUE(created);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "software\\ACME\\app", false, &created), 0);
    EXPECT_FALSE(created);
    EXPECT_EQ(registry->setValue(Root::LocalMachine, "Software\\Acme\\App", "Path",
                                 RegistryValue::text(kRegSz, "C:\\Acme")),
              0);
    EXPECT_EQ(text(*registry, Root::LocalMachine, "\\SOFTWARE\\\\acme\\App\\", "PATH"), "C:\\Acme");
    // An existing value keeps the spelling of its name.
    EXPECT_EQ(registry->setValue(Root::LocalMachine, "Software\\Acme\\App", "PATH",
                                 RegistryValue::dword(7)),
              0);
    std::vector<std::string> names;
    EXPECT_EQ(registry->valueNames(Root::LocalMachine, "Software\\Acme\\App", &names), 0);
    EXPECT_EQ(names, std::vector<std::string>{"Path"});

    EXPECT_EQ(registry->deleteKey(Root::LocalMachine, "Software\\Acme"), kErrorAccessDenied);
    EXPECT_EQ(registry->deleteValue(Root::LocalMachine, "Software\\Acme\\App", "nope"),
              kErrorFileNotFound);
    EXPECT_EQ(registry->deleteKey(Root::LocalMachine, "Software\\Acme\\App"), 0);
    EXPECT_EQ(registry->deleteKey(Root::LocalMachine, "Software\\Acme\\App"), kErrorFileNotFound);
    EXPECT_EQ(registry->deleteTree(Root::LocalMachine, ""), kErrorAccessDenied);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, std::string(256, 'k')),
              kErrorInvalidParameter);
    EXPECT_EQ(registry->createKey(Root::DynData, "x"), kErrorInvalidHandle);
    EXPECT_EQ(registry->queryValue(Root::PerformanceData, "", "x", nullptr), kErrorInvalidHandle);
}

TEST_F(RegistryTest, RootsMapOntoTheHives) {
    auto registry = openRegistry();
    EXPECT_EQ(registry->createKey(Root::ClassesRoot, ".xyz"), 0);
    EXPECT_EQ(
        registry->setValue(Root::ClassesRoot, ".xyz", "", RegistryValue::text(kRegSz, "XyzFile")),
        0);
    EXPECT_EQ(text(*registry, Root::LocalMachine, "Software\\Classes\\.xyz", ""), "XyzFile");

    EXPECT_EQ(registry->createKey(Root::CurrentUser, "Software\\Acme"), 0);
    EXPECT_EQ(registry->setValue(Root::CurrentUser, "Software\\Acme", "U",
                                 RegistryValue::text(kRegSz, "me")),
              0);
    EXPECT_EQ(text(*registry, Root::Users, "S-1-5-21-0-0-0-1000\\Software\\Acme", "U"), "me");
    std::vector<std::string> users;
    EXPECT_EQ(registry->subkeyNames(Root::Users, "", &users), 0);
    EXPECT_EQ(users, (std::vector<std::string>{".Default", "S-1-5-21-0-0-0-1000"}));
    EXPECT_EQ(registry->createKey(Root::Users, ".Default\\Software"), 0);

    // Another user has no hive here.
    registry->setCurrentUser("S-1-5-21-1-2-3-1001");
    EXPECT_EQ(registry->openKey(Root::CurrentUser, "Software"), kErrorFileNotFound);
    EXPECT_EQ(registry->createKey(Root::Users, "S-1-5-21-1-2-3-1001\\X"), kErrorFileNotFound);

    ASSERT_THAT(registry->save(), test::Succeeded());
    EXPECT_NE(test::readFile(dir_ / "user.reg").find("[Software\\\\Acme]"), std::string::npos);
    EXPECT_NE(test::readFile(dir_ / "user.reg")
                  .find(";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000"),
              std::string::npos);
    EXPECT_NE(test::readFile(dir_ / "userdef.reg").find("[Software]"), std::string::npos);
    EXPECT_NE(test::readFile(dir_ / "system.reg").find("[Software\\\\Classes\\\\.xyz]"),
              std::string::npos);
}

TEST_F(RegistryTest, LinkKeysLeadToTheirTargetButAreDeletedThemselves) {
    auto registry = openRegistry();
    linkControlSet(*registry);
    ASSERT_EQ(registry->createKey(Root::LocalMachine,
                                  "System\\CurrentControlSet\\Control\\Session Manager"),
              0);
    EXPECT_EQ(
        registry->openKey(Root::LocalMachine, "System\\ControlSet001\\Control\\Session Manager"),
        0);
    EXPECT_EQ(registry->createKey(Root::CurrentConfig, ""), 0);
    EXPECT_EQ(
        registry->openKey(Root::LocalMachine, "System\\ControlSet001\\Hardware Profiles\\Current"),
        0);
    EXPECT_EQ(registry->deleteTree(Root::LocalMachine, "System\\CurrentControlSet"), 0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "System\\ControlSet001\\Control"), 0);

    // A link to itself ends instead of looping.
    EXPECT_EQ(registry->createLink(Root::LocalMachine, "Loop", "\\Registry\\Machine\\Loop"), 0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Loop\\Below"), kErrorFileNotFound);
    EXPECT_EQ(registry->createLink(Root::LocalMachine, "Bad", "\\Elsewhere\\X"), 0);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Bad\\Below"), kErrorFileNotFound);
    ASSERT_THAT(registry->save(), test::Succeeded());
    const std::string file = test::readFile(dir_ / "system.reg");
    EXPECT_NE(file.find("#link\n\"SymbolicLinkValue\"=hex(6):5c,00,52,00"), std::string::npos)
        << file;
}

TEST_F(RegistryTest, VolatileKeysStayInMemory) {
    auto registry = openRegistry();
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Run"), 0);
    ASSERT_EQ(registry->createKey(Root::LocalMachine, "Software\\Run\\Now", true), 0);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Run\\Now\\Child"),
              kErrorChildMustBeVolatile);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Run\\Now\\Child", true), 0);
    EXPECT_EQ(
        registry->setValue(Root::LocalMachine, "Software\\Run\\Now", "v", RegistryValue::dword(1)),
        0);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Kept"), 0);
    RegistryKeyInfo info;
    EXPECT_EQ(registry->queryKeyInfo(Root::LocalMachine, "Software\\Run\\Now", &info), 0);
    EXPECT_TRUE(info.isVolatile);
    EXPECT_EQ(info.subkeys, 1u);

    // Another process writes the hive meanwhile: our volatile keys survive the merge.
    {
        auto other = openRegistry();
        EXPECT_EQ(other->createKey(Root::LocalMachine, "Software\\Other"), 0);
        ASSERT_THAT(other->save(), test::Succeeded());
    }
    ASSERT_THAT(registry->save(), test::Succeeded());
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\Run\\Now\\Child"), 0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\Other"), 0);
    const std::string file = test::readFile(dir_ / "system.reg");
    EXPECT_EQ(file.find("Now"), std::string::npos) << file;
    auto reopened = openRegistry();
    EXPECT_EQ(reopened->openKey(Root::LocalMachine, "Software\\Run\\Now"), kErrorFileNotFound);
    EXPECT_EQ(reopened->openKey(Root::LocalMachine, "Software\\Run"), 0);
    EXPECT_EQ(reopened->openKey(Root::LocalMachine, "Software\\Kept"), 0);
}

TEST_F(RegistryTest, SavingAHiveWineWroteKeepsWhatWeDoNotTouch) {
    const std::string original = test::readFile(KESTREL_SOURCE_DIR "/tests/data/setup/system.reg");
    test::writeFile(dir_ / "system.reg", original);
    auto registry = openRegistry();
    RegistryValue flag;
    EXPECT_EQ(registry->queryValue(Root::LocalMachine, "System\\CurrentControlSet\\Control", "Flag",
                                   &flag),
              0);
    EXPECT_EQ(flag.dwordValue(), 1u);

    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\Acme\\App"), 0);
    EXPECT_EQ(registry->setValue(Root::LocalMachine, "Software\\Acme\\App", "Added",
                                 RegistryValue::dword(5)),
              0);
    EXPECT_EQ(registry->deleteValue(Root::LocalMachine, "Software\\Acme\\App", "Binary"), 0);
    ASSERT_THAT(registry->save(), test::Succeeded());
    const std::string written = test::readFile(dir_ / "system.reg");
    EXPECT_NE(written.find("\"Added\"=dword:00000005\n"), std::string::npos);
    EXPECT_EQ(written.find("\"Binary\""), std::string::npos);
    // Everything after the changed key is as Wine wrote it.
    const std::size_t tail = original.find("\n[Software\\\\Acme\\\\App\\\\Sub");
    EXPECT_EQ(written.substr(written.size() - (original.size() - tail)), original.substr(tail));
    EXPECT_EQ(written.find("[Software\\\\Acme\\\\App] 1700000000"),
              std::string::npos);  // time changed
}

TEST_F(RegistryTest, BrokenHiveIsReportedAndNeverOverwritten) {
    test::writeFile(dir_ / "user.reg", "REGEDIT4\n[A]\n\"x\"=dword:1\n");
    auto registry = Registry::open(dir_.path(), dir_ / "servers");
    EXPECT_THAT(registry, test::FailsWith((dir_ / "user.reg").string() +
                                          ":1:1: not a registry file: the first line must be "
                                          "\"WINE REGISTRY Version 2\""));
    EXPECT_EQ(test::readFile(dir_ / "user.reg"), "REGEDIT4\n[A]\n\"x\"=dword:1\n");

    // An empty file holds nothing; a hive broken by someone else after we read it is not
    // replaced.
    test::writeFile(dir_ / "user.reg", "");
    auto good = openRegistry();
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->createKey(Root::CurrentUser, "X"), 0);
    test::writeFile(dir_ / "user.reg", "garbage");
    const auto saved = good->save();
    EXPECT_THAT(saved, test::FailsWith((dir_ / "user.reg").string() +
                                       ":1:1: not a registry file: the first line must be "
                                       "\"WINE REGISTRY Version 2\""));
    EXPECT_EQ(saved.error().code, kErrorRegistryIoFailed);
    EXPECT_EQ(test::readFile(dir_ / "user.reg"), "garbage");
}

// Lines Wine reads past (indented ones) or skips (blank-only ones, unknown value types) do
// not stop the hive from loading; a save writes the skipped ones back where they stood.
TEST_F(RegistryTest, HiveWithLinesWineToleratesLoadsAndKeepsThemOnSave) {
    const std::string acme =
        "\n[Software\\\\Acme] 1700000000\n"
        "\"A\"=\"1\"\n"
        "  \t \n"
        "\"x\"=foo:bar\n"
        "\"Z\"=\"2\"\n"
        "; the end\n";
    test::writeFile(
        dir_ / "user.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n"
        "\n#arch=win32\n" +
            acme + "\n[Software\\\\Other] 1700000000\n  \"Indented\"=\"yes\"\n");
    ::testing::internal::CaptureStderr();
    auto registry = openRegistry();
    const std::string warnings = ::testing::internal::GetCapturedStderr();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(warnings, "warning: " + (dir_ / "user.reg").string() +
                            ":9:5: unknown value data; the line is kept as written\n");
    EXPECT_EQ(text(*registry, Root::CurrentUser, "Software\\Other", "Indented"), "yes");
    EXPECT_EQ(text(*registry, Root::CurrentUser, "Software\\Acme", "Z"), "2");
    RegistryValue unread;  // as Wine has it: there, empty, of no type
    EXPECT_EQ(registry->queryValue(Root::CurrentUser, "Software\\Acme", "x", &unread), 0);
    EXPECT_EQ(unread, RegistryValue::bytes(kRegNone, ""));
    EXPECT_EQ(registry->createKey(Root::CurrentUser, "Software\\New"), 0);
    ASSERT_THAT(registry->save(), test::Succeeded());
    const std::string written = test::readFile(dir_ / "user.reg");
    EXPECT_NE(written.find(acme), std::string::npos) << written;
    EXPECT_NE(written.find("\n\"Indented\"=\"yes\"\n"), std::string::npos) << written;
}

// Names fold as Wine folds them, beyond ASCII too.
TEST_F(RegistryTest, NonAsciiNamesCompareWithoutCase) {
    auto registry = openRegistry();
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\\u00c4pfel"), 0);
    EXPECT_EQ(registry->setValue(Root::LocalMachine, "Software\\\u00c4pfel", "\u0152uvre \u00ff",
                                 RegistryValue::dword(1)),
              0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "SOFTWARE\\\u00e4PFEL"), 0);
    RegistryValue value;
    EXPECT_EQ(registry->queryValue(Root::LocalMachine, "software\\\u00e4pfel", "\u0153UVRE \u0178",
                                   &value),
              0);
    bool created = true;
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\\u00e4pfel", false, &created), 0);
    EXPECT_FALSE(created);
    // As Wine has it: the Kelvin sign is a "k"; the micro sign is no Greek mu.
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\kelvin"), 0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\\u212aELVIN"), 0);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\\u00b5"), 0);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\\u039c"), kErrorFileNotFound);
    EXPECT_EQ(registry->openKey(Root::LocalMachine, "Software\\\u00e5pfel"), kErrorFileNotFound);
    std::vector<std::string> names;
    EXPECT_EQ(registry->subkeyNames(Root::LocalMachine, "Software", &names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"kelvin", "\u00b5", "\u00c4pfel"}));
}

// The folded form, by which keys are hashed, takes two names for one exactly when the
// comparison does.
TEST(RegistryNameFolding, AgreesWithTheComparison) {
    const std::pair<std::string_view, std::string_view> pairs[] = {
        {"Software", "SOFTWARE"},
        {"kelvin", "\u212aELVIN"},
        {"\u00b5", "\u039c"},
        {"\u00c4pfel", "\u00e4PFEL"},
        {"\u00e4pfel", "\u00e5pfel"},
        {"Stra\u00dfe", "STRASSE"},
        {"a", "ab"},
        {"\u0152uvre", "\u0153UVRE"},
        {"x\U0001F600", "X\U0001F600"},
    };
    const RegistryNameLess less;
    for (const auto& [a, b] : pairs) {
        const bool same = !less(a, b) && !less(b, a);
        EXPECT_EQ(foldedRegistryName(a) == foldedRegistryName(b), same) << a << " / " << b;
    }
    EXPECT_EQ(foldedRegistryName("Wow6432Node"), "wow6432node");
}

// A hive nested far deeper than the stack would allow recursion to go loads, saves and goes.
TEST_F(RegistryTest, VeryDeepHiveLoadsSavesAndIsDestroyed) {
    constexpr std::size_t kDepth = 100000;
    std::string path = "k";
    for (std::size_t i = 1; i < kDepth; ++i) path += "\\\\k";
    test::writeFile(
        dir_ / "system.reg",
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n[" + path +
            "] 1700000000\n\"Deep\"=dword:00000001\n");
    auto registry = openRegistry();
    ASSERT_NE(registry, nullptr);
    RegistryKeyInfo info;
    EXPECT_EQ(registry->queryKeyInfo(Root::LocalMachine, "k\\k\\k", &info), 0);
    EXPECT_EQ(info.subkeys, 1u);
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software"), 0);
    ASSERT_THAT(registry->save(), test::Succeeded());
    registry.reset();
    const std::string written = test::readFile(dir_ / "system.reg");
    EXPECT_NE(written.find("\n[" + path + "] 1700000000\n\"Deep\"=dword:00000001\n"),
              std::string::npos);
}

// Two processes add values to the same hive, each saving after every change: none is lost.
TEST_F(RegistryTest, ConcurrentSavesFromTwoProcessesLoseNothing) {
    constexpr int kValues = 60;
    ASSERT_TRUE(test::runInProcesses(2, [&](int index) {
        auto registry = Registry::open(dir_.path(), dir_ / "servers");
        if (!registry) return false;
        for (int i = 0; i < kValues; ++i) {
            const std::string key = "Software\\P" + std::to_string(index);
            if ((*registry)->createKey(Root::LocalMachine, key) != 0) return false;
            if ((*registry)->setValue(Root::LocalMachine, key, "v" + std::to_string(i),
                                      RegistryValue::dword(static_cast<std::uint32_t>(i))) != 0) {
                return false;
            }
            if ((*registry)->setValue(Root::LocalMachine, "Software\\Shared",
                                      "p" + std::to_string(index) + "-" + std::to_string(i),
                                      RegistryValue::text(kRegSz, "x")) != kErrorFileNotFound) {
                return false;
            }
            if (!(*registry)->save()) return false;
        }
        return true;
    }));
    auto registry = openRegistry();
    for (int index = 0; index < 2; ++index) {
        std::vector<std::string> names;
        ASSERT_EQ(
            registry->valueNames(Root::LocalMachine, "Software\\P" + std::to_string(index), &names),
            0);
        EXPECT_EQ(names.size(), static_cast<std::size_t>(kValues));
    }
    // Software\Shared was only ever written by setValue on a key that never existed.
    std::vector<std::string> shared;
    EXPECT_EQ(registry->valueNames(Root::LocalMachine, "Software\\Shared", &shared),
              kErrorFileNotFound);
    EXPECT_TRUE(shared.empty());
    // The saves took turns without leaving anything beside the hives.
    for (const auto& entry : fs::directory_iterator(dir_.path()))
        EXPECT_NE(entry.path().extension(), ".lock") << entry.path();
}

// What another process wrote is read again in place; our changes not saved yet stay, and
// are saved later over it.
TEST_F(RegistryTest, ReloadingKeepsTheChangesNotSavedYet) {
    auto ours = openRegistry();
    ASSERT_EQ(ours->createKey(Root::LocalMachine, "Software\\Ours"), 0);
    ASSERT_THAT(ours->save(), test::Succeeded());
    ASSERT_EQ(ours->setValue(Root::LocalMachine, "Software\\Ours", "Unsaved",
                             RegistryValue::text(kRegSz, "mine")),
              0);
    auto theirs = openRegistry();
    ASSERT_EQ(theirs->createKey(Root::LocalMachine, "Software\\Theirs"), 0);
    ASSERT_EQ(theirs->deleteKey(Root::LocalMachine, "Software\\Ours"), 0);
    ASSERT_THAT(theirs->save(), test::Succeeded());

    ASSERT_THAT(ours->reload(), test::Succeeded());
    EXPECT_EQ(ours->openKey(Root::LocalMachine, "Software\\Theirs"), 0);
    // Setting the value made its key again, as saving it over their file would.
    EXPECT_EQ(text(*ours, Root::LocalMachine, "Software\\Ours", "Unsaved"), "mine");
    ASSERT_THAT(ours->save(), test::Succeeded());
    auto after = openRegistry();
    EXPECT_EQ(after->openKey(Root::LocalMachine, "Software\\Theirs"), 0);
    EXPECT_EQ(text(*after, Root::LocalMachine, "Software\\Ours", "Unsaved"), "mine");
}

// Settings are answered from memory once read, so every write of ours that reaches one,
// by whatever spelling or link, must be seen by the next read.
TEST_F(RegistryTest, SettingsFollowEveryWriteThatReachesThem) {
    auto registry = openRegistry();
    linkControlSet(*registry);
    constexpr std::string_view linked = "System\\CurrentControlSet\\Control\\Nls\\CodePage";
    constexpr std::string_view direct = "System\\ControlSet001\\Control\\Nls\\CodePage";
    const auto acp = [&](std::string_view number) {
        return RegistryValue::text(kRegSz, std::string(number));
    };
    EXPECT_EQ(ansiCodePage(*registry).number(), 1252u);  // nothing there yet
    ASSERT_EQ(registry->createKey(Root::LocalMachine, linked), 0);
    ASSERT_EQ(registry->setValue(Root::LocalMachine, linked, "ACP", acp("1251")), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1251u);
    ASSERT_EQ(
        registry->setValue(Root::LocalMachine, "system\\currentcontrolset\\CONTROL\\nls\\CodePage",
                           "acp", acp("1250")),
        0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1250u);
    ASSERT_EQ(registry->setValue(Root::LocalMachine, direct, "ACP", acp("1253")), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1253u);
    ASSERT_EQ(registry->deleteTree(Root::LocalMachine, "System\\ControlSet001\\Control"), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1252u);
    ASSERT_EQ(registry->createKey(Root::LocalMachine, linked), 0);
    ASSERT_EQ(registry->setValue(Root::LocalMachine, linked, "ACP", acp("1251")), 0);
    ASSERT_EQ(registry->deleteValue(Root::LocalMachine, direct, "ACP"), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1252u);

    // A write to a key beside or below the setting's leaves it as it was.
    ASSERT_EQ(registry->setValue(Root::LocalMachine, linked, "ACP", acp("1251")), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1251u);
    ASSERT_EQ(registry->createKey(Root::LocalMachine, std::string(linked) + "\\Below"), 0);
    ASSERT_EQ(registry->deleteTree(Root::LocalMachine, std::string(linked) + "\\Below"), 0);
    EXPECT_EQ(ansiCodePage(*registry).number(), 1251u);

    // What another process saved is read with the hive files.
    ASSERT_THAT(registry->save(), test::Succeeded());
    auto theirs = openRegistry();
    ASSERT_EQ(theirs->setValue(Root::LocalMachine, direct, "ACP", acp("1250")), 0);
    ASSERT_THAT(theirs->save(), test::Succeeded());
    ASSERT_THAT(registry->reload(), test::Succeeded());
    EXPECT_EQ(ansiCodePage(*registry).number(), 1250u);
}

TEST_F(RegistryTest, RefusesToSaveWhileAWineserverRuns) {
    auto registry = openRegistry();
    EXPECT_EQ(registry->createKey(Root::LocalMachine, "Software\\X"), 0);
    const fs::path socketPath = wineServerSocket(dir_.path(), dir_ / "servers");
    fs::create_directories(socketPath.parent_path());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(fd, 1), 0);
    EXPECT_TRUE(wineServerRunning(dir_.path(), dir_ / "servers"));
    const auto refused = registry->save();
    EXPECT_THAT(refused, test::FailsWith("a wineserver is running for " + dir_.path().string() +
                                         "; it would overwrite the registry files (stop it "
                                         "with \"wineserver -k\")"));
    EXPECT_EQ(refused.error().code, kErrorBusy);
    EXPECT_FALSE(fs::exists(dir_ / "system.reg"));
    // A socket whose server has gone does not count.
    ::close(fd);
    EXPECT_FALSE(wineServerRunning(dir_.path(), dir_ / "servers"));
    EXPECT_THAT(registry->save(), test::Succeeded());
}

}  // namespace
}  // namespace kestrel::platform
