// A directory file rewritten in place while programs read it (cat new.json > dir.json): each
// reader gets one version of it or a parse error with the usual message, never a signal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "DirectoryCache.h"
#include "IsolatedUser.h"
#include "TestSupport.h"

using namespace nw;
namespace fs = std::filesystem;

namespace {

// Large enough that a compile takes a while: the rewrite lands in the middle of it.
std::string directoryText(const std::string& prefix, int workstations) {
    std::string text =
        R"({"trees": [{"name": "T", "objects": [{"name": "O=A", "class": "Organization"})";
    for (int i = 0; i < workstations; ++i)
        text += R"(, {"name": "CN=)" + prefix + std::to_string(i) +
                R"(.O=A", "class": "Workstation", "attributes": {"WM:NAME Computer": [")" + prefix +
                std::to_string(i) + R"("], "WM:NAME DNS": [")" + prefix + std::to_string(i) +
                R"(.sales.acme.example"]}})";
    return text + "]}]}";
}

// As a shell's redirection does it: cut to nothing, then written a piece at a time.
void rewriteInPlace(const fs::path& file, const std::string& text) {
    int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    constexpr std::size_t kPiece = 128 * 1024;
    for (std::size_t at = 0; at < text.size(); at += kPiece)
        ASSERT_GT(::write(fd, text.data() + at, std::min(kPiece, text.size() - at)), 0);
    ::close(fd);
}

enum Outcome { kRead = 0, kParseError = 1, kWrongError = 2 };

class DirectoryRewrite : public ::testing::TestWithParam<bool> {};

// Readers compile the file again and again (their store removed each time, or without a
// cache folder at all) while it is rewritten.
TEST_P(DirectoryRewrite, ReadersGetAVersionOrAParseErrorNeverASignal) {
    const bool withCache = GetParam();
    kestrel::test::IsolatedUser user;
    const fs::path file = user.root() / "dir.json";
    const std::string versions[] = {directoryText("LONGERNAME", 30000), directoryText("WS", 12000)};
    kestrel::test::writeFile(file, versions[0]);
    constexpr int kReaders = 2;
    const auto runFor = std::chrono::seconds(3);
    std::vector<pid_t> readers;
    for (int r = 0; r < kReaders; ++r) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const fs::path cache = user.root() / ("cache" + std::to_string(r));
            // A file where the cache folder would be: the file is read into memory instead.
            if (!withCache) kestrel::test::writeFile(cache, "no folder");
            ::setenv("XDG_CACHE_HOME", (withCache ? cache : cache / "sub").c_str(), 1);
            int reads = 0;
            const auto end = std::chrono::steady_clock::now() + runFor;
            while (std::chrono::steady_clock::now() < end) {
                std::error_code ignored;
                fs::remove(storeFileFor(file), ignored);
                auto opened = openDirectory(file);
                if (opened) {
                    ++reads;
                    continue;
                }
                // The usual message: the file and the place of the fault, or that it changed.
                if (opened.error().describe().rfind(file.string(), 0) != 0) ::_exit(kWrongError);
            }
            ::_exit(reads > 0 ? kRead : kParseError);
        }
        readers.push_back(child);
    }
    const auto end = std::chrono::steady_clock::now() + runFor;
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round)
        rewriteInPlace(file, versions[round % 2]);
    for (pid_t reader : readers) {
        int status = 0;
        ASSERT_EQ(::waitpid(reader, &status, 0), reader);
        ASSERT_FALSE(WIFSIGNALED(status)) << "a reader died of signal " << WTERMSIG(status);
        EXPECT_NE(WEXITSTATUS(status), kWrongError) << "an error without the usual message";
    }
    // Once the file is written, it is read.
    auto settled = openDirectory(file);
    EXPECT_TRUE(settled) << settled.error().describe();
}

INSTANTIATE_TEST_SUITE_P(Paths, DirectoryRewrite, ::testing::Values(true, false),
                         [](const auto& test) { return test.param ? "Store" : "Memory"; });

}  // namespace
