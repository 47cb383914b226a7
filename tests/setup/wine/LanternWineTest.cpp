// The sample Lantern files run inside Wine as the installer hands them over: the library's
// own registration functions through Wine's registration program, the service through
// Wine's service manager. Nothing of either stays behind once the installer removed them.
#include <gtest/gtest.h>

#include "ExpectedMatchers.h"
#include "PrefixRun.h"
#include "TestSupport.h"
#include "WineTest.h"
#include "commands/HostProgramStarter.h"
#include "copy/FileLine.h"
#include "system/SecurityOperations.h"
#include "system/SelfRegistration.h"
#include "system/ServiceOperations.h"

namespace kestrel::setup {
namespace {

namespace fs = std::filesystem;
using commands::SystemCommand;

const fs::path kLantern = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "lantern" / "files";
constexpr const char* kScript =
    "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Lantern\n"
    "[Services]\nKestrelLantern=Kestrel Lantern,,SERVICE_AUTO_START\n";

class LanternWineTest : public kestrel::test::WineTest {
  protected:
    void SetUp() override {
        WineTest::SetUp();
        if (IsSkipped()) return;
        if (!fs::exists(kLantern / "LANTRNSV.EXE")) {
            GTEST_SKIP() << "the sample product Lantern is not built (it needs the MinGW-w64 "
                            "compiler for x86-64 that scripts/bootstrap installs)";
        }
        ASSERT_TRUE(run_.start(sharedPrefix(), kScript));
        starter_.emplace(run_.session().machine());
        progress_.emplace(run_.session().messages(), run_.session().run());
        services_.emplace(SystemServices{run_.context(), *starter_, *progress_});
        started_ = true;
    }
    // Wine keeps its own house in the prefix on every start (network cards, device classes,
    // file associations), so what is compared afterwards is what the installer and Lantern
    // touched: the service's and the library's keys, the event source, the files.
    void TearDown() override {
        if (started_) {
            for (const fs::path& file : placed_) fs::remove(file);
            fs::remove(*run_.session().machine().hostPath("C:\\Lantern"));
            EXPECT_TRUE(run_.ui.shown.empty()) << run_.ui.shown.front().box.text;
            for (const char* key : {"HKLM\\Software\\Kestrel",
                                    "HKLM\\System\\CurrentControlSet\\Services\\KestrelLantern",
                                    "HKLM\\System\\CurrentControlSet\\Services\\EventLog\\"
                                    "Application\\KestrelLantern"})
                EXPECT_NE(query(key).exitCode, 0) << key << " is left";
        }
        WineTest::TearDown();
    }

    // The sample file as the copy engine leaves it in the root, flagged `flags`.
    copy::InstalledFile place(const std::string& name, std::uint32_t flags,
                              const std::string& extra = {}) {
        const std::string destination = "C:\\Lantern\\" + name;
        const fs::path host = *run_.session().machine().hostPath(destination);
        fs::create_directories(host.parent_path());
        fs::copy_file(kLantern / name, host, fs::copy_options::overwrite_existing);
        placed_.push_back(host);
        return {destination, host, {flags, 0}, extra, false};
    }
    Output query(const std::string& key) {
        return wine(sharedPrefix(), {"reg", "query", key, "/reg:64"});
    }

    test::PrefixRun run_;
    std::optional<commands::HostProgramStarter> starter_;
    std::optional<ProgressWindow> progress_;
    std::optional<SystemServices> services_;
    bool started_ = false;
    std::vector<fs::path> placed_;
};

TEST_F(LanternWineTest, TheLibrarysOwnFunctionsRegisterAndUnregisterIt) {
    SelfRegistration registration(*services_);
    const copy::InstalledFile library = place("LANTRNRG.DLL", fileflag::kRegister);

    ASSERT_TRUE(registration.registerFile(library));
    // What DllRegisterServer wrote, as Windows programs and the installer read it.
    const Output registered = query("HKLM\\Software\\Kestrel\\Lantern");
    EXPECT_NE(registered.text.find("Registered    REG_DWORD    0x1"), std::string::npos)
        << registered.text;
    platform::RegistryValue value;
    EXPECT_EQ(run_.session().machine().registry().queryValue(platform::RegistryRoot::LocalMachine,
                                                             "Software\\Kestrel\\Lantern",
                                                             "Registered", &value),
              0);

    ASSERT_TRUE(registration.unregisterFile(library));
    EXPECT_NE(query("HKLM\\Software\\Kestrel\\Lantern").exitCode, 0);
}

TEST_F(LanternWineTest, TheServiceRunsInWinesServiceManagerUntilItIsRemoved) {
    SecurityOperations security(*services_);
    ServiceOperations operations(*services_, security);
    const copy::InstalledFile program = place("LANTRNSV.EXE", fileflag::kService, "KestrelLantern");

    // An automatic service is started at once: Wine's controller reports it started only
    // once the program told the service manager that it runs.
    ASSERT_TRUE(operations.installService(program));
    EXPECT_TRUE(operations.run(SystemCommand::StopService, "KestrelLantern"));
    EXPECT_TRUE(operations.run(SystemCommand::StartService, "KestrelLantern"));
    ASSERT_THAT(run_.session().registry().save(), kestrel::test::Succeeded());

    // Wine's own tools in one session of the prefix: the service comes up and goes down.
    // The session's service manager starts the automatic service itself as it starts, and
    // on a busy machine a query during that start can fail without a word, so the state
    // is asked up to three times.
    const Output session = wine(sharedPrefix(), {"cmd", "/c",
                                                 "net start KestrelLantern & for /l %i in "
                                                 "(1,1,3) do (sc query KestrelLantern) & net "
                                                 "stop KestrelLantern & sc query KestrelLantern"});
    const std::size_t running = session.text.find("RUNNING");
    ASSERT_NE(running, std::string::npos) << session.text;
    const std::size_t stopped = session.text.find("stopped successfully", running);
    ASSERT_NE(stopped, std::string::npos) << session.text;
    EXPECT_NE(session.text.find("STOPPED", stopped), std::string::npos) << session.text;

    ASSERT_TRUE(operations.removeService(program));
    ASSERT_THAT(run_.session().registry().save(), kestrel::test::Succeeded());
    EXPECT_NE(wine(sharedPrefix(), {"sc", "query", "KestrelLantern"}).exitCode, 0);
}

}  // namespace
}  // namespace kestrel::setup
