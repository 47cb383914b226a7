// The change journal: what a run changed in files, folders and the registry is undone to the
// state before it, whether the run fails (rollBack) or is killed (recover in the next run).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <map>
#include <random>

#include "../../platform/src/JournalRecord.h"
#include "TestSupport.h"
#include "platform/ChangeJournal.h"
#include "platform/WindowsErrors.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using kestrel::test::readFile;
using kestrel::test::writeFile;

// Every entry below a folder: type, content, mode, modification time and user attributes.
std::map<std::string, std::string> filesOf(const fs::path& root) {
    std::map<std::string, std::string> state;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        struct stat status {};
        ::lstat(entry.path().c_str(), &status);
        std::string text = std::to_string(status.st_mode) + " ";
        if (S_ISREG(status.st_mode))
            text += std::to_string(status.st_mtim.tv_sec) + "." +
                    std::to_string(status.st_mtim.tv_nsec) + " " + readFile(entry.path());
        if (S_ISLNK(status.st_mode)) text += fs::read_symlink(entry.path()).string();
        char value[256] = {};
        const ssize_t length =
            ::lgetxattr(entry.path().c_str(), "user.DOSATTRIB", value, sizeof value - 1);
        if (length > 0) text += " dos=" + std::string(value, static_cast<std::size_t>(length));
        state[entry.path().lexically_relative(root).string()] = text;
    }
    return state;
}

// Every key and value of a registry root below a key.
void treeOf(const Registry& registry, RegistryRoot root, const std::string& key,
            std::map<std::string, std::string>& out) {
    out[key] = "key";
    std::vector<std::string> names;
    if (registry.valueNames(root, key, &names) == kErrorSuccess) {
        for (const std::string& name : names) {
            RegistryValue value;
            if (registry.queryValue(root, key, name, &value) == kErrorSuccess)
                out[key + ":" + name] = std::to_string(value.type) + " " + hexOf(value.data);
        }
    }
    std::vector<std::string> subkeys;
    if (registry.subkeyNames(root, key, &subkeys) != kErrorSuccess) return;
    for (const std::string& subkey : subkeys) treeOf(registry, root, key + "\\" + subkey, out);
}

class ChangeJournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(drive() / "App" / "Old");
        writeFile(drive() / "App" / "keep.ini", "[a]\r\nx=1\r\n");
        fs::permissions(drive() / "App" / "keep.ini", fs::perms(0640));
        (void)::setxattr((drive() / "App" / "keep.ini").c_str(), "user.DOSATTRIB", "0x21", 4, 0);
        writeFile(drive() / "App" / "Old" / "gone.dll", "old library");
        fs::create_symlink("keep.ini", drive() / "App" / "link.ini");
        registry_ = std::move(Registry::open(prefix()).value());
        ASSERT_EQ(registry_->createKey(RegistryRoot::LocalMachine, "Software\\Acme\\Old"), 0);
        ASSERT_EQ(registry_->setValue(RegistryRoot::LocalMachine, "Software\\Acme", "Keep",
                                      RegistryValue::text(kRegSz, "before")),
                  0);
        ASSERT_EQ(registry_->setValue(RegistryRoot::LocalMachine, "Software\\Acme\\Old", "N",
                                      RegistryValue::dword(7)),
                  0);
        ASSERT_TRUE(registry_->save());
    }

    fs::path prefix() const { return dir_.path() / "prefix"; }
    fs::path drive() const { return prefix() / "drive_c"; }
    std::map<std::string, std::string> state() const {
        auto files = filesOf(drive());
        treeOf(*registry_, RegistryRoot::LocalMachine, "Software", files);
        return files;
    }

    // What an installation does, each change told to the journal first as the host layer's
    // writers tell it; `steps` limits how many of the changes are made.
    void work(ChangeJournal& journal, int steps = 1000) {
        const fs::path app = drive() / "App";
        int step = 0;
        const auto next = [&] { return step++ < steps; };
        if (!next()) return;
        journal.beforeFileChange(app / "keep.ini");
        journal.beforeFileChange(app / "keep.ini.tmp");
        writeFile(app / "keep.ini.tmp", "[a]\r\nx=2\r\n");
        fs::rename(app / "keep.ini.tmp", app / "keep.ini");
        if (!next()) return;
        journal.beforeFileChange(app / "Old" / "gone.dll");
        fs::remove(app / "Old" / "gone.dll");
        journal.beforeFolderRemoved(app / "Old");
        fs::remove(app / "Old");
        if (!next()) return;
        journal.beforeFoldersMade(app / "New" / "Deep");
        fs::create_directories(app / "New" / "Deep");
        writeFile(app / "New" / "Deep" / "a.txt", "new");
        if (!next()) return;
        journal.beforeFileChange(app / "link.ini");
        fs::remove(app / "link.ini");
        journal.beforeFileChange(app / "top.txt");
        writeFile(app / "top.txt", "made");
        if (!next()) return;
        journal.beforeFileChange(app / "keep.ini");  // attributes of a file told before
        (void)::setxattr((app / "keep.ini").c_str(), "user.DOSATTRIB", "0x1", 3, 0);
        fs::permissions(app / "keep.ini", fs::perms(0444));
        if (!next()) return;
        Registry& r = *registry_;
        EXPECT_EQ(r.setValue(RegistryRoot::LocalMachine, "Software\\Acme", "Keep",
                             RegistryValue::text(kRegSz, "after")),
                  0);
        EXPECT_EQ(r.setValue(RegistryRoot::LocalMachine, "Software\\Acme", "New",
                             RegistryValue::dword(1)),
                  0);
        if (!next()) return;
        EXPECT_EQ(r.createKey(RegistryRoot::LocalMachine, "Software\\Acme\\Made\\Below"), 0);
        // Keys made again: one below a key the run made, one that was there before.
        EXPECT_EQ(r.createKey(RegistryRoot::LocalMachine, "Software\\Acme\\Made\\Below\\Deep"), 0);
        EXPECT_EQ(r.createKey(RegistryRoot::LocalMachine, "Software\\Acme\\Old"), 0);
        EXPECT_EQ(r.setValue(RegistryRoot::LocalMachine, "Software\\Acme\\Made\\Below", "V",
                             RegistryValue::text(kRegSz, "x")),
                  0);
        if (!next()) return;
        EXPECT_EQ(r.deleteTree(RegistryRoot::LocalMachine, "Software\\Acme\\Old"), 0);
        EXPECT_EQ(r.deleteValue(RegistryRoot::LocalMachine, "Software\\Acme", "Keep"), 0);
        ASSERT_TRUE(r.save());
    }

    kestrel::test::TempDir dir_;
    std::unique_ptr<Registry> registry_;
};

TEST_F(ChangeJournalTest, RecordsSurviveOddBytesAndACutShortLastRecord) {
    const JournalRecord record{JournalRecord::Kind::File,
                               {"C:\\a\tb\nc%d", "", std::string("\x01\xc3\xa4", 3)}};
    const std::string line = encodeRecord(record);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    const auto both = decodeRecords(line + line.substr(0, line.size() - 1));
    ASSERT_EQ(both.size(), 1u) << "a record without its line break was not written whole";
    EXPECT_EQ(both[0].kind, JournalRecord::Kind::File);
    EXPECT_EQ(both[0].fields, record.fields);
    EXPECT_EQ(bytesOfHex(hexOf(std::string("\0\xff\x10", 3))), std::string("\0\xff\x10", 3));
}

TEST_F(ChangeJournalTest, AFailedRunIsUndoneLastChangeFirst) {
    const auto before = state();
    auto journal = ChangeJournal::begin(prefix(), "install Acme");
    ASSERT_TRUE(journal) << journal.error();
    EXPECT_EQ(activeJournal(), journal.value().get());
    work(*journal.value());
    ASSERT_NE(state(), before);
    const ChangeJournal::Rollback undone = journal.value()->rollBack(*registry_);
    EXPECT_TRUE(undone.failures.empty()) << undone.failures.front();
    EXPECT_EQ(activeJournal(), nullptr);
    EXPECT_EQ(state(), before);
    // The registry as the hive files keep it, too.
    registry_ = std::move(Registry::open(prefix()).value());
    EXPECT_EQ(state(), before);
    EXPECT_FALSE(fs::exists(ChangeJournal::folderOf(prefix())));
}

TEST_F(ChangeJournalTest, AFinishedRunLeavesNoJournalAndItsChanges) {
    auto journal = ChangeJournal::begin(prefix(), "install Acme");
    ASSERT_TRUE(journal);
    work(*journal.value());
    const auto after = state();
    journal.value()->commit();
    EXPECT_FALSE(fs::exists(ChangeJournal::folderOf(prefix())));
    EXPECT_FALSE(ChangeJournal::pending(prefix()));
    EXPECT_EQ(state(), after);
    // The next run starts a journal of its own.
    EXPECT_TRUE(ChangeJournal::begin(prefix(), "uninstall Acme"));
}

// A run killed after any number of its changes: the next run finds its journal and puts the
// machine back as it was before.
TEST_F(ChangeJournalTest, AKilledRunIsUndoneByTheNextOne) {
    const auto before = state();
    for (int steps = 0; steps <= 8; ++steps) {
        SCOPED_TRACE("killed after " + std::to_string(steps) + " changes");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto journal = ChangeJournal::begin(prefix(), "install Acme");
            if (!journal) ::_exit(3);
            work(*journal.value(), steps);
            ::kill(::getpid(), SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the run could not start its journal";
        EXPECT_TRUE(ChangeJournal::pending(prefix()));
        registry_ = std::move(Registry::open(prefix()).value());
        const auto recovered = ChangeJournal::recover(prefix(), *registry_);
        ASSERT_TRUE(recovered) << recovered.error();
        EXPECT_TRUE(recovered.value().failures.empty()) << recovered.value().failures.front();
        EXPECT_FALSE(ChangeJournal::pending(prefix()));
        EXPECT_EQ(state(), before);
    }
}

TEST_F(ChangeJournalTest, OneRunAtATimeWorksOnAPrefix) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto journal = ChangeJournal::begin(prefix(), "install Acme");
        char byte = journal ? 'y' : 'n';
        (void)::write(ready[1], &byte, 1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(byte, 'y');
    // A journal whose run goes on is not left over, and no second run starts beside it.
    EXPECT_FALSE(ChangeJournal::pending(prefix()));
    const auto second = ChangeJournal::begin(prefix(), "install Acme");
    ASSERT_FALSE(second);
    EXPECT_NE(second.error().find("another installation"), std::string::npos) << second.error();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    // Now it is: a new run must not start before it is undone.
    EXPECT_TRUE(ChangeJournal::pending(prefix()));
    const auto third = ChangeJournal::begin(prefix(), "install Acme");
    ASSERT_FALSE(third);
    EXPECT_NE(third.error().find("unfinished"), std::string::npos) << third.error();
}

}  // namespace
}  // namespace kestrel::platform
