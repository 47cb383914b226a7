#include "ops/RegistrySection.h"

#include "messages/MessageStrings.h"
#include "ops/RegistryOperation.h"
#include "plan/SectionReader.h"

namespace kestrel::setup {

namespace {

// Registry lines can carry 8192 bytes of data written as hexadecimal.
constexpr SectionKind kRegistrySection{4 * kMaxRegistryData, strings::kModifyingRegistry, true};

OperationList readRegistryLines(const std::vector<ScriptLine>& lines, const Expander& expander,
                                bool machineWide) {
    OperationList operations;
    for (const ScriptLine& line : lines) {
        if (line.text.empty()) continue;
        if (auto entry = parseRegistryLine(line.text, expander)) {
            operations.push_back(
                std::make_unique<RegistryOperation>(std::move(*entry), machineWide));
        }
    }
    return operations;
}

}  // namespace

std::optional<PlanStep> readRegistrySection(OperationContext& context, std::string_view section,
                                            bool machineWide) {
    return readSectionStep(
        context, section, kRegistrySection,
        [machineWide](const std::vector<ScriptLine>& lines, const Expander& expander) {
            return readRegistryLines(lines, expander, machineWide);
        });
}

}  // namespace kestrel::setup
