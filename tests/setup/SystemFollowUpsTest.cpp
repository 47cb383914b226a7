#include <set>

#include "RoundTrip.h"
#include "SetupFixture.h"
#include "copy/FileRemoval.h"
#include "copy/MachineInUseFiles.h"
#include "copy/SharedFileCount.h"
#include "copy/SystemFollowUps.h"
#include "messages/MessageStrings.h"
#include "platform/FileAttributes.h"
#include "platform/RestartOperations.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;
using copy::InstalledFile;
using platform::RegistryRoot;

constexpr const char* kScript = "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";

// Registration and services as calls written down, in order.
struct RecordedRegistration final : copy::RegistrationHooks {
    bool registerFile(const InstalledFile& file) override { return note("register", file); }
    bool unregisterFile(const InstalledFile& file) override { return note("unregister", file); }
    bool installService(const InstalledFile& file) override { return note("service", file); }
    bool removeService(const InstalledFile& file) override { return note("remove service", file); }
    bool note(const std::string& what, const InstalledFile& file) {
        calls.push_back(what + " " + file.destination);
        return true;
    }
    std::vector<std::string> calls;
};

// The machine's own idea of files in use, with files a test declares held on top.
struct HeldFiles final : copy::InUseFiles {
    HeldFiles(platform::MachineRoot& root, RunState& run) : machine(root, run) {}
    bool inUse(const fs::path& host) override { return held.contains(host) || machine.inUse(host); }
    bool scheduleAtRestart(const std::string& from, const std::optional<std::string>& to) override {
        return machine.scheduleAtRestart(from, to);
    }
    copy::MachineInUseFiles machine;
    std::set<fs::path> held;
};

// What the copy engine does around the follow-ups, as one operation: puts the file there,
// then installs its follow-ups; uninstallation hands the line to the follow-ups alone.
class PlacedFile : public Operation {
  public:
    PlacedFile(copy::FileFollowUps& followUps, InstalledFile file)
        : followUps_(followUps), file_(std::move(file)) {}
    bool install(OperationContext&) override {
        file_.existedBefore = fs::exists(file_.host);
        fs::create_directories(file_.host.parent_path());
        kestrel::test::writeFile(file_.host, "data of " + file_.destination);
        return followUps_.installed(file_);
    }
    bool uninstall(OperationContext&) override { return followUps_.uninstall(file_); }

  private:
    copy::FileFollowUps& followUps_;
    InstalledFile file_;
};

class SystemFollowUpsTest : public SetupFixture {
  protected:
    void SetUp() override { start(); }
    void start() {
        load(kScript);
        held_.emplace(*machine_, session_->run());
        followUps_.emplace(context(), *held_, registration_);
    }
    OperationContext& context() { return session_->context(); }
    copy::SystemFollowUps& followUps() { return *followUps_; }

    InstalledFile line(const std::string& destination, std::uint32_t flags,
                       std::string extra = {}) {
        InstalledFile file;
        file.destination = destination;
        file.host = machine_->hostPath(destination).value();
        file.flags.file = flags;
        file.extra = std::move(extra);
        return file;
    }
    // The file as the engine leaves it, then its follow-ups.
    bool install(InstalledFile file) {
        return PlacedFile(followUps(), std::move(file)).install(context());
    }
    fs::path place(const std::string& destination) {
        const fs::path host = machine_->hostPath(destination).value();
        fs::create_directories(host.parent_path());
        kestrel::test::writeFile(host, destination);
        return host;
    }
    std::string count(const std::string& path) {
        return value(RegistryRoot::LocalMachine, copy::kSharedDllsKey, path);
    }
    fs::path host(const std::string& destination) {
        return machine_->hostPath(destination).value();
    }

    RecordedRegistration registration_;
    std::optional<HeldFiles> held_;
    std::optional<copy::SystemFollowUps> followUps_;
};

TEST_F(SystemFollowUpsTest, ASharedFileThatWasThereWithoutACountIsCountedTwice) {
    place("C:\\windows\\system32\\old.dll");
    ASSERT_TRUE(install(line("C:\\windows\\system32\\old.dll", fileflag::kSharedDll)));
    ASSERT_TRUE(install(line("C:\\windows\\system32\\new.dll", fileflag::kSharedDll)));
    EXPECT_EQ(count("C:\\windows\\system32\\old.dll"), "2");
    EXPECT_EQ(count("C:\\windows\\system32\\new.dll"), "1");
    ASSERT_TRUE(install(line("C:\\windows\\system32\\new.dll", fileflag::kSharedDll)));
    EXPECT_EQ(count("C:\\windows\\system32\\new.dll"), "2");
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SystemFollowUpsTest, UninstallCountsDownThenAsksAndRemembersAll) {
    const std::uint32_t shared = fileflag::kSharedDll;
    const std::uint32_t registered = shared | fileflag::kRegister | fileflag::kService;
    const InstalledFile twice = line("C:\\Acme\\twice.dll", shared);
    const InstalledFile kept = line("C:\\Acme\\kept.dll", shared);
    const InstalledFile all = line("C:\\Acme\\lib\\all.dll", registered);
    const InstalledFile after = line("C:\\Acme\\lib\\after.dll", shared);
    for (const InstalledFile& file : {twice, twice, kept, all, after}) ASSERT_TRUE(install(file));

    ASSERT_TRUE(followUps().uninstall(twice));
    EXPECT_EQ(count(twice.destination), "1");
    EXPECT_TRUE(ui_.shown.empty());

    ui_.answer({buttons::kNo, buttons::kAll});
    ASSERT_TRUE(followUps().uninstall(kept));
    EXPECT_TRUE(fs::exists(kept.host));  // No: the file stays, its count is gone
    EXPECT_EQ(count(kept.destination), "<none>");
    ASSERT_TRUE(followUps().uninstall(all));
    EXPECT_FALSE(fs::exists(all.host));
    ASSERT_TRUE(followUps().uninstall(after));  // All is remembered: no question
    EXPECT_FALSE(fs::exists(after.host));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\lib")));

    EXPECT_EQ(ui_.numbers(),
              (std::vector<int>{messages::kNoLongerNeeded, messages::kNoLongerNeeded}));
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_NE(ui_.shown[0].box.text.find("C:\\Acme\\kept.dll"), std::string::npos);
    EXPECT_EQ(registration_.calls,
              (std::vector<std::string>{
                  "register C:\\Acme\\lib\\all.dll", "service C:\\Acme\\lib\\all.dll",
                  "unregister C:\\Acme\\lib\\all.dll", "remove service C:\\Acme\\lib\\all.dll"}));
}

// A count someone else took away already is no registry failure: the file is simply unused.
TEST_F(SystemFollowUpsTest, ASharedFileWithoutACountIsUnusedWithoutAnError) {
    const InstalledFile file = line("C:\\Acme\\uncounted.dll", fileflag::kSharedDll);
    place(file.destination);
    ui_.answer({buttons::kYes});
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kNoLongerNeeded});
    EXPECT_FALSE(fs::exists(file.host));
}

TEST_F(SystemFollowUpsTest, SilentRunsRemoveUnusedSharedFilesWithoutAsking) {
    session_->run().silent = true;
    const InstalledFile file = line("C:\\Acme\\shared.dll", fileflag::kSharedDll);
    ASSERT_TRUE(install(file));
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_FALSE(fs::exists(file.host));
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SystemFollowUpsTest, FontsAreListedAndTakenAwayAgain) {
    const std::string key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    Plan plan;
    plan.steps.emplace_back();
    for (const InstalledFile& file :
         {line(expand("%Fonts%\\KSANS.TTF"), 0, "Kestrel Sans (TrueType)"),
          line("C:\\Acme\\fonts\\Old Style.fon", fileflag::kSharedDll, "Old Style")}) {
        plan.steps.back().operations.push_back(std::make_unique<PlacedFile>(followUps(), file));
    }
    const auto installed = [&] {
        EXPECT_EQ(value(RegistryRoot::LocalMachine, key, "Kestrel Sans (TrueType)"), "KSANS.TTF");
        EXPECT_EQ(value(RegistryRoot::LocalMachine, key, "Old Style"),
                  "C:\\Acme\\fonts\\Old Style.fon");
        EXPECT_TRUE(session_->run().fontsChanged);
    };
    // The fonts folder, emptied, stays: it is the system's.
    EXPECT_TRUE(installAndUninstall(context(), plan, installed));
}

TEST_F(SystemFollowUpsTest, Windows98RootsListFontsUnderTheirOwnKey) {
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Wine"), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                  platform::RegistryValue::text(platform::kRegSz, "win98")),
              0);
    start();
    ASSERT_TRUE(install(line("C:\\Acme\\KSANS.TTF", 0)));  // no display name: the file's
    EXPECT_EQ(value(RegistryRoot::LocalMachine,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts", "KSANS.TTF"),
              "C:\\Acme\\KSANS.TTF");
}

TEST_F(SystemFollowUpsTest, AHelpFileTakesItsSideFilesAlong) {
    for (const char* file :
         {"C:\\Acme\\GUIDE.HLP", "C:\\Acme\\guide.gid", "C:\\Acme\\GUIDE.FTS",
          "C:\\windows\\help\\Guide.ftg", "C:\\windows\\help\\OTHER.GID", "C:\\Acme\\guide.txt"}) {
        place(file);
    }
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\GUIDE.HLP", 0)));
    for (const char* gone : {"C:\\Acme\\GUIDE.HLP", "C:\\Acme\\guide.gid", "C:\\Acme\\GUIDE.FTS",
                             "C:\\windows\\help\\Guide.ftg"}) {
        EXPECT_FALSE(fs::exists(host(gone))) << gone;
    }
    EXPECT_TRUE(fs::exists(host("C:\\windows\\help\\OTHER.GID")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\guide.txt")));
}

TEST_F(SystemFollowUpsTest, EmptiedParentsGoUpToTheFirstThatIsNotEmpty) {
    place("C:\\Acme\\Sub\\Deep\\file.txt");
    place("C:\\Acme\\other.txt");
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\Sub\\Deep\\file.txt", 0)));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\Sub")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\other.txt")));
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\other.txt", 0)));
    EXPECT_FALSE(fs::exists(host("C:\\Acme")));
    EXPECT_TRUE(fs::is_directory(dir_ / "prefix/drive_c"));
}

TEST_F(SystemFollowUpsTest, DeleteLinesTakeEveryMatchingFileButNoFolder) {
    for (const char* file : {"C:\\Acme\\Temp\\a.tmp", "C:\\Acme\\Temp\\B.TMP",
                             "C:\\Acme\\Temp\\keep.txt", "C:\\Acme\\Temp\\x.tmp\\inner.txt"}) {
        place(file);
    }
    ASSERT_TRUE(platform::setFileAttributes(
        host("C:\\Acme\\Temp\\B.TMP"), platform::dosattr::kReadOnly | platform::dosattr::kHidden));
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\Temp\\*.TMP", fileflag::kDelete)));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\Temp\\a.tmp")));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\Temp\\B.TMP")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Temp\\keep.txt")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Temp\\x.tmp\\inner.txt")));
}

// A name without wildcards takes each of its spellings, made before or after the engine
// looked in the folder, but never a folder; the parent goes once nothing is left in it.
TEST_F(SystemFollowUpsTest, APlainNameTakesEverySpellingButNoFolder) {
    const InstalledFile file = line("C:\\Acme\\Docs\\readme.txt", 0);
    place("C:\\Acme\\Docs\\ReadMe.TXT");
    ASSERT_EQ(host(file.destination), host("C:\\Acme\\Docs\\ReadMe.TXT"));
    const fs::path docs = host("C:\\Acme\\Docs");
    kestrel::test::writeFile(docs / "README.TXT", "made by another program");
    fs::create_directory(docs / "readme.TXT");
    kestrel::test::writeFile(docs / "readme.TXT" / "inner.txt", "kept");
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_FALSE(fs::exists(docs / "ReadMe.TXT"));
    EXPECT_FALSE(fs::exists(docs / "README.TXT"));
    EXPECT_TRUE(fs::exists(docs / "readme.TXT" / "inner.txt"));

    fs::remove_all(docs / "readme.TXT");
    kestrel::test::writeFile(docs / "Readme.txt", "again");
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_FALSE(fs::exists(docs));
}

TEST_F(SystemFollowUpsTest, CreatedDirectoriesGoWholeOnlyWhenCascaded) {
    const std::uint32_t directory = fileflag::kCreate | fileflag::kDirectory;
    place("C:\\Acme\\Data\\Locked\\file.txt");
    place("C:\\Acme\\Logs\\today.log");
    ASSERT_TRUE(
        platform::setFileAttributes(host("C:\\Acme\\Data\\Locked"), platform::dosattr::kReadOnly));
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\Logs\\", directory)));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Logs\\today.log")));
    ASSERT_TRUE(followUps().uninstall(line("C:\\Acme\\Data", directory | fileflag::kCascaded)));
    EXPECT_FALSE(fs::exists(host("C:\\Acme\\Data")));
    EXPECT_TRUE(fs::exists(host("C:\\Acme\\Logs")));
    ASSERT_TRUE(followUps().uninstall(line("C:\\windows", directory | fileflag::kCascaded)));
    EXPECT_TRUE(fs::exists(host("C:\\windows\\system32")));  // never the system's own folders
}

TEST_F(SystemFollowUpsTest, UninstallersStartedByTheInstallerKeepFilesNotToBeReplaced) {
    const InstalledFile file = line("C:\\Acme\\config.dat", fileflag::kDontReplace);
    place(file.destination);
    session_->run().extraFlags = extra::kNoEndMessage;
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_TRUE(fs::exists(file.host));
    session_->run().extraFlags = 0;
    ASSERT_TRUE(followUps().uninstall(file));
    EXPECT_FALSE(fs::exists(file.host));
}

TEST_F(SystemFollowUpsTest, AFileInUseAtInstallationIsDeletedAtTheNextStart) {
    const fs::path file = place("C:\\Acme\\busy.dll");
    held_->held.insert(file);
    copy::FileRemoval removal(*machine_, *held_, session_->messages(), session_->run());
    ASSERT_TRUE(removal.deleteFiles("C:\\Acme\\BUSY.DLL", Direction::Install));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(session_->run().restartComputer);
    platform::RegistryValue pending;
    ASSERT_EQ(registry().queryValue(RegistryRoot::LocalMachine, platform::kSessionManagerKey,
                                    platform::kPendingRenamesValue, &pending),
              0);
    EXPECT_NE(pending.textValue().find("C:\\Acme\\busy.dll"), std::string::npos);
    EXPECT_TRUE(ui_.shown.empty());

    // At uninstallation nothing waits for a restart.
    ASSERT_TRUE(removal.deleteFiles("C:\\Acme\\busy.dll", Direction::Uninstall));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SystemFollowUpsTest, ADeletionThatCannotBeScheduledAbortsTheRun) {
    ASSERT_EQ(registry().createKey(RegistryRoot::LocalMachine, platform::kSessionManagerKey), 0);
    ASSERT_EQ(
        registry().setValue(RegistryRoot::LocalMachine, platform::kSessionManagerKey,
                            platform::kPendingRenamesValue, platform::RegistryValue::dword(0)),
        0);
    const fs::path file = place("C:\\Acme\\busy.dll");
    held_->held.insert(file);
    copy::FileRemoval removal(*machine_, *held_, session_->messages(), session_->run());
    EXPECT_FALSE(removal.deleteFiles("C:\\Acme\\busy.dll", Direction::Install));
    EXPECT_EQ(ui_.numbers(), std::vector<int>{messages::kCannotDeleteFile});
    EXPECT_TRUE(session_->run().abort);
    EXPECT_FALSE(session_->run().restartComputer);
    EXPECT_TRUE(fs::exists(file));
}

TEST(Wildcards, MatchWithoutRegardToCase) {
    EXPECT_TRUE(copy::matchesWildcard("*.*", "README"));
    EXPECT_TRUE(copy::matchesWildcard("*.tmp", "A.TMP"));
    EXPECT_FALSE(copy::matchesWildcard("*.tmp", "a.tmp.txt"));
    EXPECT_TRUE(copy::matchesWildcard("a*b?c", "aXXbYc"));
    EXPECT_TRUE(copy::matchesWildcard("a*b?c", "abbbZc"));
    EXPECT_FALSE(copy::matchesWildcard("a?c", "ac"));
    EXPECT_TRUE(copy::matchesWildcard("plain.txt", "PLAIN.txt"));
    EXPECT_FALSE(copy::matchesWildcard("plain.txt", "plain.txt2"));
}

}  // namespace
}  // namespace kestrel::setup::test
