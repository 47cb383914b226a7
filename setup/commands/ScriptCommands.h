// The commands of the script itself: Abort, AddMeter, Append, CD/ChDir and drive changes,
// Echo, Extract, If, Prompt, Rem, ReplaceEnv, ReplaceVars, Set.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "commands/Command.h"
#include "copy/TargetSink.h"
#include "wizard/ProgressWindow.h"
#include "wizard/PromptAsker.h"

namespace kestrel::setup::commands {

// What these commands need of the run. It must outlive the table they are registered in.
struct ScriptServices {
    ProgressWindow& progress;
    copy::CopyMeter& meter;  // AddMeter advances it
    PromptAsker& prompts;    // Prompt asks on the value page
    // If: processes a section as a component's work is processed (file lines, commands,
    // includes) in the direction given; false when it failed.
    std::function<bool(OperationContext&, std::string_view section, Direction)> runSection;
    // If in the pre-scan: the disk space the section needs; nullopt when its pre-scan
    // stopped.
    std::function<std::optional<std::uint64_t>(OperationContext&, std::string_view section)>
        sectionSpace;
};

void registerScriptCommands(CommandTable& table, ScriptServices& services);

}  // namespace kestrel::setup::commands
