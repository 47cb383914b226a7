#include "platform/RestartOperations.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/FileAttributes.h"
#include "platform/MachineRoot.h"
#include "platform/WideText.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class RestartOperationsTest : public ::testing::Test {
  protected:
    RestartOperationsTest() {
        auto root = MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
        if (!root) throw std::runtime_error(root.error());
        root_ = std::move(root.value());
    }
    void makeWindows98() {
        ASSERT_EQ(root_->registry().createKey(RegistryRoot::CurrentUser, "Software\\Wine"), 0);
        ASSERT_EQ(root_->registry().setValue(RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                             RegistryValue::text(kRegSz, "win98")),
                  0);
    }
    fs::path drive() const { return dir_ / "prefix/drive_c"; }
    // The pending list as text, "|" for each zero.
    std::string pending() const {
        RegistryValue value;
        if (root_->registry().queryValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                         kPendingRenamesValue, &value) != 0) {
            return "<none>";
        }
        std::string text = utf16ToUtf8(bytesToUtf16(value.data));
        for (char& c : text) c = c == '\0' ? '|' : c;
        return text;
    }
    void schedule(std::string_view from, std::optional<std::string_view> to) {
        const auto done = scheduleAtRestart(*root_, from, to);
        EXPECT_TRUE(done.has_value()) << (done ? "" : done.error());
    }

    test::TempDir dir_;
    std::unique_ptr<MachineRoot> root_;
};

TEST_F(RestartOperationsTest, NtRootsKeepPairsAsMoveFileExDoes) {
    schedule("C:\\windows\\system32\\new.tmp", "C:\\windows\\system32\\Lib.dll");
    schedule("C:\\old.txt", std::nullopt);
    EXPECT_EQ(pending(),
              "\\??\\C:\\windows\\system32\\new.tmp|!\\??\\C:\\windows\\system32\\Lib.dll|"
              "\\??\\C:\\old.txt|||");
    EXPECT_FALSE(fs::exists(drive() / "windows/WININIT.INI"));
}

TEST_F(RestartOperationsTest, AValueOfAnotherTypeIsNotOverwritten) {
    ASSERT_EQ(root_->registry().createKey(RegistryRoot::LocalMachine, kSessionManagerKey), 0);
    ASSERT_EQ(root_->registry().setValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                         kPendingRenamesValue, RegistryValue::dword(1)),
              0);
    EXPECT_FALSE(scheduleAtRestart(*root_, "C:\\a.txt", std::nullopt).has_value());
}

TEST_F(RestartOperationsTest, Windows98RootsGetShortPathLinesInWininitKeepingDuplicates) {
    makeWindows98();
    fs::create_directories(drive() / "Program Files/Acme Tools");
    test::writeFile(drive() / "Program Files/Acme Tools/Library Module.dll", "old");
    test::writeFile(drive() / "Program Files/Acme Tools/Library Module.000", "new");
    schedule("C:\\Program Files\\Acme Tools\\Library Module.000",
             "C:\\Program Files\\Acme Tools\\Library Module.dll");
    schedule("C:\\Program Files\\Acme Tools\\NEWER.TMP",
             "C:\\Program Files\\Acme Tools\\Library Module.dll");
    schedule("C:\\OLD.TXT", std::nullopt);
    EXPECT_EQ(test::readFile(drive() / "windows/WININIT.INI"),
              "[Rename]\r\n"
              "C:\\PROGRA~1\\ACMETO~1\\LIBRAR~1.DLL=C:\\PROGRA~1\\ACMETO~1\\LIBRAR~1.000\r\n"
              "C:\\PROGRA~1\\ACMETO~1\\LIBRAR~1.DLL=C:\\PROGRA~1\\ACMETO~1\\NEWER.TMP\r\n"
              "NUL=C:\\OLD.TXT\r\n");
    EXPECT_EQ(pending(), "<none>");
}

TEST_F(RestartOperationsTest, TheBootStepPerformsWininitInOrderAndKeepsABackup) {
    makeWindows98();
    fs::create_directories(drive() / "Program Files/Acme Tools");
    const fs::path folder = drive() / "Program Files/Acme Tools";
    test::writeFile(folder / "Library Module.dll", "old");
    test::writeFile(folder / "Library Module.000", "first");
    test::writeFile(folder / "second.tmp", "second");
    test::writeFile(drive() / "gone.txt", "gone");
    schedule("C:\\Program Files\\Acme Tools\\Library Module.000",
             "C:\\Program Files\\Acme Tools\\Library Module.dll");
    schedule("C:\\Program Files\\Acme Tools\\second.tmp",
             "C:\\Program Files\\Acme Tools\\Library Module.dll");
    schedule("C:\\gone.txt", std::nullopt);
    const std::string lines = test::readFile(drive() / "windows/WININIT.INI");

    performRestartOperations(*root_);
    EXPECT_EQ(test::readFile(folder / "Library Module.dll"), "second");  // the later line wins
    EXPECT_FALSE(fs::exists(folder / "Library Module.000"));
    EXPECT_FALSE(fs::exists(folder / "second.tmp"));
    EXPECT_FALSE(fs::exists(drive() / "gone.txt"));
    EXPECT_FALSE(fs::exists(drive() / "windows/WININIT.INI"));
    EXPECT_EQ(test::readFile(drive() / "windows/wininit.bak"), lines);
}

TEST_F(RestartOperationsTest, TheBootStepPerformsPendingRenamesAsWineDoes) {
    const fs::path system = drive() / "windows/system32";
    test::writeFile(system / "lib.dll", "old");
    test::writeFile(system / "lib.000", "new");
    test::writeFile(system / "kept.dll", "kept");
    test::writeFile(system / "plain.000", "plain");  // moved without "!": the target stays
    test::writeFile(drive() / "delete.txt", "x");
    test::writeFile(drive() / "readonly.txt", "x");
    ASSERT_TRUE(setFileAttributes(drive() / "readonly.txt", dosattr::kReadOnly).has_value());
    fs::create_directories(drive() / "empty");
    fs::create_directories(drive() / "full");
    test::writeFile(drive() / "full/file.txt", "x");

    schedule("C:\\windows\\system32\\LIB.000", "C:\\windows\\system32\\lib.dll");
    schedule("C:\\delete.txt", std::nullopt);
    schedule("C:\\readonly.txt", std::nullopt);
    schedule("C:\\empty", std::nullopt);
    schedule("C:\\full", std::nullopt);
    // A move without "!" (as MoveFileEx without MOVEFILE_REPLACE_EXISTING writes it).
    RegistryValue value;
    ASSERT_EQ(root_->registry().queryValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                           kPendingRenamesValue, &value),
              0);
    std::u16string units = bytesToUtf16(value.data);
    units.pop_back();
    units += u"\\??\\C:\\windows\\system32\\plain.000"s + u'\0' +
             u"\\??\\C:\\windows\\system32\\kept.dll" + u'\0' + u'\0';
    value.data = utf16ToBytes(units);
    ASSERT_EQ(root_->registry().setValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                         kPendingRenamesValue, value),
              0);

    performRestartOperations(*root_);
    EXPECT_EQ(test::readFile(system / "lib.dll"), "new");
    EXPECT_FALSE(fs::exists(system / "lib.000"));
    EXPECT_EQ(test::readFile(system / "kept.dll"), "kept");
    EXPECT_TRUE(fs::exists(system / "plain.000"));
    EXPECT_FALSE(fs::exists(drive() / "delete.txt"));
    EXPECT_TRUE(fs::exists(drive() / "readonly.txt"));
    EXPECT_FALSE(fs::exists(drive() / "empty"));
    EXPECT_TRUE(fs::exists(drive() / "full/file.txt"));
    EXPECT_EQ(pending(), "<none>");
}

TEST_F(RestartOperationsTest, AListWithoutItsClosingZerosIsLeftAlone) {
    test::writeFile(drive() / "a.txt", "a");
    ASSERT_EQ(root_->registry().createKey(RegistryRoot::LocalMachine, kSessionManagerKey), 0);
    const std::u16string units = u"\\??\\C:\\a.txt"s + u'\0';  // no closing zero
    ASSERT_EQ(root_->registry().setValue(RegistryRoot::LocalMachine, kSessionManagerKey,
                                         kPendingRenamesValue, {kRegMultiSz, utf16ToBytes(units)}),
              0);
    performRestartOperations(*root_);
    EXPECT_TRUE(fs::exists(drive() / "a.txt"));
    EXPECT_NE(pending(), "<none>");
}

TEST_F(RestartOperationsTest, WithoutWineARestartIsOurBootStepWithTheRegistrySaved) {
    const test::ScopedEnv noWine("PATH", (dir_ / "empty-path").string());
    test::writeFile(drive() / "a.000", "new");
    schedule("C:\\a.000", "C:\\a.txt");
    ASSERT_TRUE(root_->registry().save().has_value());
    ASSERT_NE(test::readFile(dir_ / "prefix/system.reg").find("PendingFileRenameOperations"),
              std::string::npos);
    ASSERT_TRUE(restartMachineRoot(*root_).has_value());
    EXPECT_EQ(test::readFile(drive() / "a.txt"), "new");
    EXPECT_EQ(test::readFile(dir_ / "prefix/system.reg").find("PendingFileRenameOperations"),
              std::string::npos);
}

}  // namespace
}  // namespace kestrel::platform
