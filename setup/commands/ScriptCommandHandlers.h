// The handlers behind registerScriptCommands, by the files they live in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "commands/Command.h"
#include "commands/ScriptCommands.h"

namespace kestrel::setup::commands {

// Message 5528 with the whole line (not in the pre-scan, which may run many times: the run
// itself says it); the line is skipped, so true.
bool invalidParameter(CommandCall& call);

// CommandFiles.cpp: the files the commands name.
// A path of the line made absolute against the current directory, and its host file.
struct CommandPath {
    std::string windows;
    std::optional<std::filesystem::path> host;  // nullopt: no such place on the root
};
CommandPath commandPath(CommandCall& call, std::string_view path);
// The whole content of the regular file; nullopt when it is missing or cannot be read.
std::optional<std::string> readCommandFile(const CommandPath& path);
// Shows the message about the file (and why, where known); false: the command stops.
bool fileFailed(CommandCall& call, int message, const std::string& path,
                const std::string& reason = {});
// Writes `text` to the target, after what it holds when `extend` is set and it exists. The
// target is replaced whole through a temporary file, so a failure leaves it as it was; the
// failure is said (5504 for a new file, 5502 or 5503 for an extended one) and gives false.
bool writeTarget(CommandCall& call, const CommandPath& target, std::string_view text, bool extend);

// EnvironmentCommands.cpp
bool setVariable(CommandCall& call);
bool replaceEnvironmentVariable(CommandCall& call);

// CurrentDirectoryCommands.cpp
bool changeDirectory(CommandCall& call);
bool changeDrive(CommandCall& call);

// FileTextCommands.cpp
bool appendFile(CommandCall& call);
bool replaceVariables(CommandCall& call);

// ExtractCommand.cpp
bool extractSections(CommandCall& call);

// IfCommand.cpp: runs or counts a section; refuses to nest deeper than kMaxDepth, so that
// sections that call each other end with a message instead of exhausting the stack.
class IfCommand {
  public:
    static constexpr int kMaxDepth = 64;

    explicit IfCommand(ScriptServices& services) : services_(services) {}
    bool operator()(CommandCall& call);

  private:
    bool enter(CommandCall& call, const std::string& section);

    ScriptServices& services_;
    int depth_ = 0;
};

}  // namespace kestrel::setup::commands
