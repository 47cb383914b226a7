#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::test {

// Base of the tests that run the real Wine. Skipped, with a message saying so, where `wine`
// is not on PATH. Wine's programs run with WINEDEBUG=-all and no DISPLAY, each wait has a
// timeout, and every wineserver a test may have started is stopped when it ends.
class WineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // One prefix for the whole run, made with `wineboot --init` under the temporary HOME the
    // first time a test asks for it; tests share it, so each uses keys of its own.
    const std::filesystem::path& sharedPrefix();
    // A prefix of this test only (made by the code under test); its server is stopped too.
    void stopServerAtEnd(const std::filesystem::path& prefix);

    struct Output {
        int exitCode = -1;
        std::string text;  // standard output, CR LF as Wine wrote it
    };
    // `wine <arguments>` on the prefix (or another of Wine's loaders, such as the one for
    // 64-bit programs, wine64Loader()); returns when the server it started is gone, so the
    // hive files hold what the program wrote.
    Output wine(const std::filesystem::path& prefix, const std::vector<std::string>& arguments,
                const std::string& loader = "wine");
    // The same, for a session that something else keeps (our registry helper): returns when
    // the program has ended, its changes in the running server.
    Output wineInSession(const std::filesystem::path& prefix,
                         const std::vector<std::string>& arguments);
    // Wine's 64-bit loader: where Debian keeps it, else wine64 on PATH.
    static std::string wine64Loader();
    // Stops the prefix's server (wineserver -k) and waits until its socket is gone.
    static void stopServer(const std::filesystem::path& prefix);

  private:
    Output run(const std::filesystem::path& prefix, const std::vector<std::string>& argv);

    std::vector<std::filesystem::path> prefixes_;
};

}  // namespace kestrel::test
