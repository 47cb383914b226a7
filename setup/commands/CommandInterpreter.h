// Runs the command lines of file sections: expands and splits each line, finds its command
// in the table, decides whether it acts in this direction, and reports a missing argument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "commands/Command.h"
#include "ops/FileSection.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::commands {

class CommandInterpreter {
  public:
    // `currentDirectory` is where relative paths of commands start (the script's directory).
    CommandInterpreter(CommandTable table, ProgressWindow& progress, std::string currentDirectory);

    // Runs one command line as written in the section. false: stop, the section fails.
    // A line acts when the installer installs and it has no `-`, or uninstalls and it has
    // one; some commands act either way, some undo at uninstallation what a line without
    // `-` did (see CommandSpec). While one acts the progress window shows its line; after
    // it, the person's Cancel stops.
    bool execute(OperationContext& context, std::string_view text, Direction direction);

    // The line while the disk space is computed: only the commands marked for the pre-scan
    // act (with `picturesAndSound` also those that show pictures or play sounds); If adds
    // the space of the section it chooses to `space`. false: stop.
    bool prescan(OperationContext& context, std::string_view text, bool picturesAndSound,
                 std::uint64_t& space);
    // The pre-scan of the command lines of a section (its file and include lines are the
    // caller's to count): the space they add, nullopt when one stopped. Nothing for a
    // section that does not exist.
    std::optional<std::uint64_t> prescanSection(OperationContext& context, std::string_view section,
                                                bool picturesAndSound = false);

    // From now on the reader turns command lines into operations run here.
    void attach(FileSectionReader& reader);

    CommandState& state() { return state_; }

  private:
    // `space` set: the pre-scan.
    bool run(OperationContext& context, std::string_view text, Direction direction,
             bool picturesAndSound, std::uint64_t* space);

    CommandTable table_;
    ProgressWindow& progress_;
    CommandState state_;
};

// Whether a line of a file section is a command line: neither a file line (a digit first)
// nor an include line (`#` first), and not empty.
bool isCommandLine(std::string_view text);

}  // namespace kestrel::setup::commands
