#include "WineTest.h"

#include <chrono>
#include <cstdlib>
#include <optional>

#include "TestSupport.h"
#include "platform/WineTools.h"

namespace kestrel::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::runWineTool;

namespace {

// Making a prefix takes Wine several seconds, much longer on a busy machine.
constexpr auto kPrefixTimeout = 300s;
constexpr auto kProgramTimeout = 120s;
constexpr auto kServerTimeout = 30s;

std::optional<fs::path> sharedPrefixPath;

}  // namespace

void WineTest::SetUp() {
    if (!platform::wineInstalled()) GTEST_SKIP() << "Wine is not installed (no wine on PATH)";
}

void WineTest::TearDown() {
    for (const fs::path& prefix : prefixes_) stopServer(prefix);
    if (sharedPrefixPath) stopServer(*sharedPrefixPath);
}

const fs::path& WineTest::sharedPrefix() {
    if (!sharedPrefixPath) {
        const char* home = std::getenv("HOME");
        const fs::path prefix = fs::path(home != nullptr ? home : ".") / "shared-wine-prefix";
        const auto made = runWineTool({"wineboot", "--init"}, prefix, kPrefixTimeout);
        stopServer(prefix);
        EXPECT_TRUE(made.finished() && made.exitCode == 0) << "wineboot --init on " << prefix;
        sharedPrefixPath = prefix;
    }
    return *sharedPrefixPath;
}

void WineTest::stopServerAtEnd(const fs::path& prefix) {
    prefixes_.push_back(prefix);
}

WineTest::Output WineTest::wine(const fs::path& prefix, const std::vector<std::string>& arguments,
                                const std::string& loader) {
    std::vector<std::string> argv{loader};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const Output output = run(prefix, argv);
    EXPECT_TRUE(runWineTool({"wineserver", "-w"}, prefix, kServerTimeout).finished());
    return output;
}

WineTest::Output WineTest::wineInSession(const fs::path& prefix,
                                         const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"wine"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return run(prefix, argv);
}

WineTest::Output WineTest::run(const fs::path& prefix, const std::vector<std::string>& argv) {
    const TempDir outputDir;
    const fs::path outputFile = outputDir / "stdout";
    const auto result = runWineTool(argv, prefix, kProgramTimeout, outputFile);
    EXPECT_TRUE(result.finished()) << "wine did not end in time";
    return {result.exitCode, readFile(outputFile)};
}

std::string WineTest::wine64Loader() {
    constexpr const char* kDebianLoader = "/usr/lib/wine/wine64";
    if (std::error_code ec; fs::exists(kDebianLoader, ec)) return kDebianLoader;
    return "wine64";
}

void WineTest::stopServer(const fs::path& prefix) {
    runWineTool({"wineserver", "-k"}, prefix, kServerTimeout);
    EXPECT_TRUE(runWineTool({"wineserver", "-w"}, prefix, kServerTimeout).finished())
        << "the wineserver of " << prefix << " did not end";
}

}  // namespace kestrel::test
