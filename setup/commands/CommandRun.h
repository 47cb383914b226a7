#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "commands/ActionCommands.h"
#include "commands/CommandInterpreter.h"
#include "commands/ScriptCommands.h"
#include "copy/FileCopier.h"
#include "ops/FileSection.h"

namespace kestrel::setup::commands {

// Every command of the script in one table.
CommandTable buildCommandTable(ScriptServices& script, ActionServices& actions);

// The script commands of one run put together: the table, the interpreter starting in the
// script's directory, and the file sections read through `sections` running their command
// lines here (If runs its sections through the same reader). It lives for the run.
class CommandRun {
  public:
    // The disk space of a section for If in the pre-scan; empty: the section reader's
    // expected size, which the components count too.
    using SectionSpace =
        std::function<std::optional<std::uint64_t>(OperationContext&, std::string_view section)>;

    CommandRun(OperationContext& context, FileSectionReader& sections, ActionServices& actions,
               PromptAsker& prompts, SectionSpace sectionSpace = {});

    CommandInterpreter& interpreter() { return interpreter_; }

  private:
    ScriptServices services_;
    CommandInterpreter interpreter_;
};

}  // namespace kestrel::setup::commands
