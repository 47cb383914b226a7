#include "platform/Places.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace kestrel::platform {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnv;

class PlacesTest : public ::testing::Test {
  protected:
    test::TempDir home_;
    ScopedEnv homeEnv_{"HOME", home_.path().string()};
    ScopedEnv config_{"XDG_CONFIG_HOME", std::nullopt};
    ScopedEnv state_{"XDG_STATE_HOME", std::nullopt};
    ScopedEnv profile_{"USERPROFILE", std::nullopt};
};

TEST_F(PlacesTest, BaseDirectoriesFollowXdgVariables) {
    EXPECT_EQ(configDir(), home_ / ".config/kestrel");
    EXPECT_EQ(stateDir(), home_ / ".local/state/kestrel");
    EXPECT_FALSE(fs::exists(configDir()));
    {
        const ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        const ScopedEnv state("XDG_STATE_HOME", "/st");
        EXPECT_EQ(configDir(), "/cfg/kestrel");
        EXPECT_EQ(stateDir(), "/st/kestrel");
    }
    const ScopedEnv relative("XDG_CONFIG_HOME", "relative");  // invalid for XDG: ignored
    EXPECT_EQ(configDir(), home_ / ".config/kestrel");
}

TEST_F(PlacesTest, DesktopComesFromUserProfileThenUserDirs) {
    EXPECT_EQ(desktopDir(), home_ / "Desktop");
    fs::create_directories(home_ / ".config");
    const std::vector<std::pair<std::string, fs::path>> cases = {
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", home_ / "Schreibtisch"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\r\n  XDG_DESKTOP_DIR = \"/my \\\"desk\\\"\"\r\n",
         "/my \"desk\""},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", home_.path()},
        {"XDG_DESKTOP_DIR=\"~/relative\"\n", home_ / "Desktop"},
        {"XDG_DESKTOP_DIR=\"/first\"\nXDG_DESKTOP_DIR=\"/second\"\n", "/second"},
    };
    for (const auto& [text, expected] : cases) {
        test::writeFile(home_ / ".config/user-dirs.dirs", text);
        EXPECT_EQ(desktopDir(), expected) << text;
    }
    const ScopedEnv empty("USERPROFILE", "");
    EXPECT_EQ(desktopDir(), "/second");
    const ScopedEnv profile("USERPROFILE", "/profiles/ann");
    EXPECT_EQ(desktopDir(), "/profiles/ann/Desktop");
}

TEST(Places, ProgramPathIsTheRunningExecutable) {
    EXPECT_EQ(programPath().filename(), "platform_tests");
    EXPECT_EQ(programDirectory(), fs::path(KESTREL_BINARY_DIR) / "tests");
}

}  // namespace
}  // namespace kestrel::platform
