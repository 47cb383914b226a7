// A private world for directory tests: an isolated user whose client reads a small directory
// of two trees, all removed after the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "ClientWorld.h"
#include "ScriptedUi.h"
#include "directory/CNDSAccess.h"

namespace kestrel::browser::test {

inline constexpr const char* kAcme = "ACME_TREE";
inline constexpr const char* kGlobex = "GLOBEX_TREE";
inline constexpr const char* kAdmin = "CN=Admin.O=Acme";
inline constexpr const char* kPassword = "secret";
inline constexpr int kBigContainerSize = 500;

class DirectoryTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // A layer bound to the client that was built with the suite.
    std::unique_ptr<CNDSAccess> access(ClientLibraryNames names = {});
    // The same, logged in as the administrator of ACME_TREE.
    std::unique_ptr<CNDSAccess> loggedIn();

    kestrel::test::ClientWorld world_;
    const std::filesystem::path& root_ = world_.root();
    kestrel::test::ScopedEnvironment& environment_ = world_.environment();
    ScriptedUi ui_;
};

}  // namespace kestrel::browser::test
