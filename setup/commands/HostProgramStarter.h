#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "commands/ProgramStarter.h"
#include "platform/MachineRoot.h"
#include "platform/Process.h"

namespace kestrel::setup::commands {

// Starts programs on the host for a machine root. The program word is a Windows path of the
// root (a bare name is looked for as Windows' loader does: current directory, system and
// Windows folders, the root's PATH; then on the host's PATH, for native programs), with
// ".exe" tried after a name without extension. Windows programs run through Wine where it is
// installed, native programs directly; shell links and PIF files start their target; any
// other file is a document for the desktop's opener (xdg-open).
class HostProgramStarter final : public ProgramStarter {
  public:
    // `keepAlive` is called while a program is waited for, so the windows stay painted.
    explicit HostProgramStarter(platform::MachineRoot& machine,
                                std::function<void()> keepAlive = {})
        : machine_(machine), keepAlive_(std::move(keepAlive)) {}

    std::uint32_t start(std::string_view commandLine, std::string_view workingDirectory,
                        bool wait) override;

  private:
    std::uint32_t startResolved(std::string_view commandLine, std::string_view workingDirectory,
                                bool wait, int linkDepth);

    platform::MachineRoot& machine_;
    std::function<void()> keepAlive_;
};

// The Windows error number CreateProcess gives for the cause.
std::uint32_t windowsErrorOf(platform::StartError error);

// The program word of a command line (quotes group blanks, and are dropped) and the rest
// after it and its blanks.
struct ProgramWord {
    std::string program;
    std::string arguments;
};
ProgramWord splitProgramWord(std::string_view commandLine);

// What a PIF file starts: the program, its parameters and its working directory.
struct PifTarget {
    std::string program;
    std::string parameters;
    std::string workingDirectory;
};
// nullopt when the file is too short to be one.
std::optional<PifTarget> readPifFile(const std::filesystem::path& file);

}  // namespace kestrel::setup::commands
