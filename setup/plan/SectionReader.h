#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "ops/OperationContext.h"
#include "plan/Plan.h"

namespace kestrel::setup {

// What a kind of section brings to its steps besides its operations.
struct SectionKind {
    std::size_t lineSize = 256;  // the longest line the kind reads, its terminating zero included
    int defaultTitle = 0;        // the string shown as the title when the section has no Caption
    bool countsUsage = false;    // see PlanStep::countsUsage
    std::string_view titleArgument = {};  // what the default title's %s stands for
};

// A reader of one kind of section: the section's lines (comments as empty lines) in, its
// operations out, in line order. Lines that do nothing give no operation.
using SectionReader =
    std::function<OperationList(const std::vector<ScriptLine>& lines, const Expander& expander)>;

// Reads a section into a plan step: its lines through the kind's reader, its title from the
// section's Caption key (expanded) or the kind's default string. A missing section gives
// message 5529 and nullopt.
std::optional<PlanStep> readSectionStep(OperationContext& context, std::string_view section,
                                        const SectionKind& kind, const SectionReader& reader);

}  // namespace kestrel::setup
