#include "plan/SectionReader.h"

#include "messages/MessageStrings.h"
#include "plan/PlanRunner.h"

namespace kestrel::setup {

std::optional<PlanStep> readSectionStep(OperationContext& context, std::string_view section,
                                        const SectionKind& kind, const SectionReader& reader) {
    if (!context.script.hasSection(section)) {
        context.messages.show(messages::kSectionNotFound, {section});
        return std::nullopt;
    }
    const Expander expander = context.expander();
    PlanStep step;
    step.section = std::string(section);
    const std::string caption = context.script.readValue(section, "Caption").value_or("");
    step.title = caption.empty()
                     ? context.messages.strings().format(kind.defaultTitle, {kind.titleArgument})
                     : expander.expand(caption);
    step.operations = reader(context.script.sectionLines(section, kind.lineSize), expander);
    step.countsUsage = kind.countsUsage;
    return step;
}

bool runSection(OperationContext& context, const SectionReading& reading, std::string_view section,
                Direction direction) {
    if (reading.passedOver && reading.passedOver(section)) return true;
    std::optional<PlanStep> step = reading.read(section, direction);
    return step && PlanRunner(context).run(*step, direction);
}

}  // namespace kestrel::setup
