#include "copy/RuntimeVersionCheck.h"

#include <gtest/gtest.h>

#include "SetupFixture.h"

namespace kestrel::setup::test {
namespace {

namespace fs = std::filesystem;

const fs::path kVariants = fs::path(KESTREL_SAMPLE_PRODUCTS_DIR) / "harbor/variants";
constexpr std::uint64_t kVersion2 = std::uint64_t{2} << 48;
constexpr const char* kInstalled = "C:\\Program Files\\Harbor\\HARBOR.DLL";
constexpr const char* kSystemCopy = "C:\\windows\\system32\\HARBOR.DLL";

class RuntimeVersionCheckTest : public SetupFixture {
  protected:
    void SetUp() override {
        if (!fs::exists(kVariants / "harbor-2.0-en.dll")) {
            GTEST_SKIP() << "sample products not built (no MinGW-w64 cross compiler)";
        }
        place("harbor-2.0-en", kInstalled);
    }
    void place(const std::string& variant, const std::string& windowsPath) {
        const auto host = machine_->hostPath(windowsPath);
        ASSERT_TRUE(host);
        fs::create_directories(host->parent_path());
        fs::copy_file(kVariants / (variant + ".dll"), *host, fs::copy_options::overwrite_existing);
    }

    StringTable strings_;
    MessageEngine messages_{ui_, strings_};
    RunState run_;
    ProgressWindow progress_{messages_, run_};
    copy::RuntimeVersionCheck check_{messages_, run_, *machine_, progress_};
};

TEST_F(RuntimeVersionCheckTest, AnOlderCopyOnTheSearchPathIsReported) {
    place("harbor-1.0-en", kSystemCopy);
    check_.remember(kInstalled, kVersion2);
    check_.run();
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5551});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Runtime version conflict!\n\nAt runtime a file with an earlier version number will "
              "be loaded.\n\nNeed: C:\\Program Files\\Harbor\\HARBOR.DLL (2.00.00.00)\nLoad: "
              "C:\\windows\\system32\\HARBOR.DLL (1.00.00.00)");
    ASSERT_FALSE(ui_.progressViews.empty());
    const ProgressView& view = ui_.progressViews.back();
    EXPECT_EQ(view.title, "Checking runtime version");
    EXPECT_EQ(view.firstLabel + " " + view.first, std::string("Checking: ") + kInstalled);
    EXPECT_EQ(view.secondLabel + " " + view.second, std::string("against: ") + kSystemCopy);
    EXPECT_TRUE(check_.remembered().empty());
}

TEST_F(RuntimeVersionCheckTest, TheSameOrANewerCopyIsFine) {
    check_.remember(kInstalled);
    check_.run("C:\\Program Files\\Harbor");  // finds the installed file itself
    place("harbor-2.0.0.1-en", kSystemCopy);
    check_.remember(kInstalled);
    check_.run();
    check_.remember("C:\\Program Files\\Harbor\\MISSING.DLL");
    check_.run();
    EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(RuntimeVersionCheckTest, AnInstalledFileOlderThanTheOneBroughtIsOutOfDate) {
    place("harbor-1.0-en", kInstalled);  // the person kept the old file
    check_.remember(kInstalled, kVersion2);
    check_.run("C:\\Program Files\\Harbor");
    ASSERT_EQ(ui_.numbers(), std::vector<int>{5552});
    EXPECT_EQ(ui_.shown[0].box.text,
              "Version out of date!\n\nNeed a new version of the file 'C:\\Program "
              "Files\\Harbor\\HARBOR.DLL'.\n\nDescription: Harbor library\n\nNeed: "
              "2.00.00.00\nHave: 1.00.00.00");
}

TEST_F(RuntimeVersionCheckTest, SilentAndAdministratorRunsCheckNothing) {
    place("harbor-1.0-en", kSystemCopy);
    run_.silentLevel = 3;
    check_.remember(kInstalled);
    check_.run();
    run_.silentLevel = 0;
    run_.admin = true;
    check_.remember(kInstalled);
    check_.run();
    EXPECT_TRUE(ui_.shown.empty());
    EXPECT_TRUE(check_.remembered().empty());
}

}  // namespace
}  // namespace kestrel::setup::test
