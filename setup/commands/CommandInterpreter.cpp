#include "commands/CommandInterpreter.h"

#include "commands/CommandOperation.h"
#include "commands/CommandParse.h"
#include "messages/MessageStrings.h"

namespace kestrel::setup::commands {

namespace {

// Long enough for any line the file section reader passes on.
constexpr std::size_t kSectionLineSize = 2048;

}  // namespace

bool isCommandLine(std::string_view text) {
    return !text.empty() && text.front() != '#' && !(text.front() >= '0' && text.front() <= '9');
}

CommandInterpreter::CommandInterpreter(CommandTable table, ProgressWindow& progress,
                                       std::string currentDirectory)
    : table_(std::move(table)), progress_(progress), state_{std::move(currentDirectory)} {}

bool CommandInterpreter::execute(OperationContext& context, std::string_view text,
                                 Direction direction) {
    return run(context, text, direction, false, nullptr);
}

bool CommandInterpreter::prescan(OperationContext& context, std::string_view text,
                                 bool picturesAndSound, std::uint64_t& space) {
    return run(context, text, Direction::Install, picturesAndSound, &space);
}

std::optional<std::uint64_t> CommandInterpreter::prescanSection(OperationContext& context,
                                                                std::string_view section,
                                                                bool picturesAndSound) {
    std::uint64_t space = 0;
    for (const ScriptLine& line : context.script.sectionLines(section, kSectionLineSize)) {
        if (isCommandLine(line.text) && !prescan(context, line.text, picturesAndSound, space))
            return std::nullopt;
    }
    return space;
}

void CommandInterpreter::attach(FileSectionReader& reader) {
    reader.setCommandReader([this](const ScriptLine& line, const Expander&) {
        return std::make_unique<CommandOperation>(*this, line.text);
    });
}

bool CommandInterpreter::run(OperationContext& context, std::string_view text, Direction direction,
                             bool picturesAndSound, std::uint64_t* space) {
    const std::optional<CommandLine> line = parseCommandLine(text, context.expander());
    if (!line) return true;
    const CommandSpec* spec = table_.find(line->word);
    if (!spec) return true;
    const bool prescan = space != nullptr;
    if (prescan && !spec->inPrescan && !(spec->pictureOrSound && picturesAndSound)) return true;
    // A command list changes nothing: only the commands that decide what it names act.
    if (context.run.commandList && !spec->inPrescan) return true;
    const bool uninstalling = direction == Direction::Uninstall;
    const bool acts = spec->bothDirections || line->uninstallMarker == uninstalling;
    const bool undo = !acts && uninstalling && spec->hasCounterpart;
    if (!acts && !undo) return true;
    if (spec->needsArgument && line->arguments.empty()) {
        // The pre-scan may run many times; the run itself says it once.
        if (!prescan) context.messages.show(messages::kInvalidParameter, {line->text});
        return true;
    }
    if (!prescan) progress_.command(line->text);
    CommandCall call{context, *line, state_, direction, undo, prescan, picturesAndSound, space};
    if (!spec->handler(call)) return false;
    return prescan || !progress_.poll();
}

}  // namespace kestrel::setup::commands
