// The script's command lines: how one is split, what a command gets when it runs, and the
// table that finds a command by its word.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ops/Operation.h"

namespace kestrel::setup::commands {

// A command line after variable expansion, without its final line feed and `-` marker.
struct CommandLine {
    std::string text;              // what messages show ("Invalid parameter in command '%s'!")
    bool uninstallMarker = false;  // the line began with `-`
    std::string word;              // the first token
    // The further tokens, quotes removed; the value of a directory variable stays in its
    // token, blanks and all.
    std::vector<std::string> arguments;
    std::string rest;  // the text after the word and one blank, as written (argument text)
    // Which characters of `text` are the values of places (ExpandedText); empty: none.
    std::vector<bool> places = {};

    // The marks of `rest`, the end of `text`.
    std::vector<bool> restPlaces() const;
    // The whole line, or the rest, as a program's command line: a place whose blanks stand
    // outside quotes is quoted, so that the program and its arguments come out whole.
    std::string textAsCommandLine() const;
    std::string restAsCommandLine() const;
};

// Text with marked places as a command line (see CommandLine::textAsCommandLine): unchanged
// where no place holds a blank.
std::string programCommandLine(const std::string& text, const std::vector<bool>& places);

// What the commands of one run share: the current directory (a Windows path of the machine
// root, without a final backslash except at a drive's root) that CD and drive changes set.
struct CommandState {
    std::string currentDirectory;
    // A path of a command line made absolute against the current directory: "x" and "\x"
    // and "D:x" as Windows resolves them; absolute and UNC paths stay as they are.
    std::string absolutePath(std::string_view path) const;
};

// One execution of a command.
struct CommandCall {
    OperationContext& context;
    const CommandLine& line;
    CommandState& state;
    Direction direction;
    // The counterpart runs: a line without `-` while the installer uninstalls, for a command
    // that has one (Copy deletes its target, MD removes its directory, ...).
    bool undo = false;
    // The disk space is being computed: only the commands marked for it act.
    bool prescan = false;
    bool picturesAndSound = false;  // with prescan: PlaySound and ShowPicture act too
    // With prescan: the disk space counted, to which If adds the space of its section.
    std::uint64_t* space = nullptr;
};

// false: stop, the section fails (the installation ends as aborted).
using CommandHandler = std::function<bool(CommandCall& call)>;

struct CommandSpec {
    CommandHandler handler;
    // Without an argument the invalid-parameter message (5528) is shown and the line skipped.
    bool needsArgument = false;
    // Acts in both directions whatever the line's marker says (Set, If, CD, Abort, ...).
    bool bothDirections = false;
    // A line without `-` runs the handler with `undo` at uninstallation.
    bool hasCounterpart = false;
    bool inPrescan = false;       // acts in the pre-scan (Set, ReplaceEnv, If)
    bool pictureOrSound = false;  // acts in the pre-scan with the picture-and-sound marker
};

// The commands by word, compared without regard to case; a word that is no command is
// handled by the fallback (started as a program).
class CommandTable {
  public:
    void add(std::string_view word, CommandSpec spec);
    void setFallback(CommandSpec spec) { fallback_ = std::move(spec); }
    // The command for the word, else the fallback (nullptr when there is none).
    const CommandSpec* find(std::string_view word) const;

  private:
    std::map<std::string, CommandSpec> commands_;  // lower-case words
    CommandSpec fallback_;
};

}  // namespace kestrel::setup::commands
