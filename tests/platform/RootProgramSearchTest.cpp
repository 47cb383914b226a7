#include "platform/RootProgramSearch.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "platform/LanguageNames.h"

namespace kestrel::platform {
namespace {

class RootProgramSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        auto opened = MachineRoot::open(
            dir_ / "prefix",
            {"alice", dir_ / "servers", NewRoot::Skeleton, WindowsArchitecture::Win32});
        ASSERT_TRUE(opened.has_value()) << (opened ? "" : opened.error());
        root_ = std::move(opened.value());
    }
    // Puts the library into a Windows directory of the root.
    void place(const std::string& directory) {
        const auto host = root_->hostPath(directory);
        ASSERT_TRUE(host);
        std::filesystem::create_directories(*host);
        std::ofstream(*host / "HARBOR.DLL") << directory;
    }
    std::optional<std::string> find(std::string_view application = {},
                                    std::string_view current = {}) {
        return findOnRootSearchPath(*root_, "harbor.dll", application, current);
    }
    void setPath(std::string_view path) {
        ASSERT_EQ(root_->registry().setValue(
                      RegistryRoot::LocalMachine,
                      "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "PATH",
                      RegistryValue::text(kRegExpandSz, path)),
                  0);
    }

    test::TempDir dir_;
    std::unique_ptr<MachineRoot> root_;
};

// Each place is found while those before it hold nothing; taking them away from the end
// shows the order.
TEST_F(RootProgramSearch, LooksInTheLoadersOrder) {
    setPath("%SystemRoot%\\system32;C:\\Tools;;%SystemRoot%\\Missing");
    const std::string system = root_->systemDirectory();
    for (const char* directory : {"C:\\Tools", "C:\\Work", "C:\\windows", "C:\\windows\\system",
                                  "C:\\windows\\system32", "C:\\App"}) {
        place(directory);
    }
    EXPECT_EQ(find("C:\\App", "C:\\Work"), "C:\\App\\HARBOR.DLL");
    EXPECT_EQ(find({}, "C:\\Work"), system + "\\HARBOR.DLL");
    std::filesystem::remove(*root_->hostPath(system + "\\HARBOR.DLL"));
    EXPECT_EQ(find({}, "C:\\Work"), "C:\\windows\\system\\HARBOR.DLL");
    std::filesystem::remove(*root_->hostPath("C:\\windows\\system\\HARBOR.DLL"));
    EXPECT_EQ(find({}, "C:\\Work"), "C:\\windows\\HARBOR.DLL");
    std::filesystem::remove(*root_->hostPath("C:\\windows\\HARBOR.DLL"));
    EXPECT_EQ(find({}, "C:\\Work\\"), "C:\\Work\\HARBOR.DLL");
    EXPECT_EQ(find(), "C:\\Tools\\HARBOR.DLL");
    std::filesystem::remove(*root_->hostPath("C:\\Tools\\HARBOR.DLL"));
    EXPECT_EQ(find(), std::nullopt);
}

TEST_F(RootProgramSearch, NamesWithADirectoryAreOnlyLookedForThere) {
    place("C:\\windows");
    EXPECT_EQ(findOnRootSearchPath(*root_, "C:\\Other\\HARBOR.DLL"), std::nullopt);
    EXPECT_EQ(findOnRootSearchPath(*root_, "c:\\WINDOWS\\harbor.dll"), "C:\\windows\\HARBOR.DLL");
    EXPECT_EQ(findOnRootSearchPath(*root_, ""), std::nullopt);
    // A directory of that name is no library.
    std::filesystem::create_directories(*root_->hostPath("C:\\windows\\system32\\DIR.DLL"));
    EXPECT_EQ(findOnRootSearchPath(*root_, "dir.dll"), std::nullopt);
}

TEST(LanguageNames, AreTheSystemsNames) {
    EXPECT_EQ(languageName(0x0409), "English (United States)");
    EXPECT_EQ(languageName(0x0407), "German (Standard)");
    EXPECT_EQ(languageName(0x0C07), "German (Austrian)");
    EXPECT_EQ(languageName(0x0000), "Language Neutral");
    EXPECT_EQ(languageName(0x2009), "English (Jamaica)");
    EXPECT_EQ(languageName(0x7FFF), "Unknown language");
}

}  // namespace
}  // namespace kestrel::platform
