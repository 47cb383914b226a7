#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kestrel::setup {

// The file through which the Windows starter kestrel-setup.exe (setup/windows) waits for a
// run it handed over: Wine gives it nothing else to wait on. It names the file in the
// environment variable KESTREL_SETUP_STATUS; the run writes its process number there when
// it starts and "exit <code>" when it ends.
class StarterStatus {
  public:
    // The file the environment names, which is then taken out of the environment (programs
    // the run starts are not the starter's), with the process number written; nullopt when
    // no starter waits.
    static std::optional<StarterStatus> fromEnvironment();
    // The run's exit code, as the starter returns it to its own caller.
    void finished(int exitCode) const;

  private:
    explicit StarterStatus(std::filesystem::path file) : file_(std::move(file)) {}
    void write(const std::string& text) const;

    std::filesystem::path file_;
};

}  // namespace kestrel::setup
