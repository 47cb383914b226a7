#include "system/WinePrograms.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/WineTools.h"

namespace kestrel::setup {

namespace {

// Wine's first start in a prefix can take a minute on a busy machine.
constexpr std::chrono::seconds kTimeout{180};

// A file of our own for the program's output, removed when it goes.
class OutputFile {
  public:
    OutputFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestrel-wine-XXXXXX");
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
        }
    }
    ~OutputFile() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

  private:
    std::filesystem::path path_;
};

}  // namespace

bool RootWinePrograms::installed() const {
    return platform::wineInstalled();
}

platform::Expected<WineOutcome, std::string> RootWinePrograms::run(
    const std::vector<std::string>& arguments) {
    const std::string program = arguments.empty() ? "wine" : arguments.front();
    if (auto handed = machine_.handRegistryToWine(); !handed) {
        return platform::unexpected(handed.error());
    }
    const OutputFile output;
    if (output.path().empty()) {
        return platform::unexpected("no temporary file for the output of " + program);
    }
    std::vector<std::string> argv{"wine"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const auto result = platform::runWineTool(argv, machine_.prefix(), kTimeout, output.path());
    auto back = machine_.takeRegistryBack();
    using Outcome = platform::WineToolResult::Outcome;
    if (result.outcome == Outcome::NotStarted) {
        return platform::unexpected("Wine could not start " + program);
    }
    if (result.outcome == Outcome::TimedOut) {
        return platform::unexpected(program + " did not end within " +
                                    std::to_string(kTimeout.count()) + " seconds");
    }
    if (!back) return platform::unexpected(back.error());
    return WineOutcome{result.exitCode, output.text()};
}

}  // namespace kestrel::setup
