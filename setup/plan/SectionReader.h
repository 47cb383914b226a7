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

// How the sections of one kind are read for the run. A section is read just before it runs,
// not ahead: the commands of the sections before it change the variables its lines expand.
struct SectionReading {
    // The section's step; nullopt when the section failed, its message shown.
    std::function<std::optional<PlanStep>(std::string_view section, Direction direction)> read;
    // true: the section has nothing to do on this machine or in this part of the run, and is
    // not read (empty: never).
    std::function<bool(std::string_view section)> passedOver = {};
};

// Does (or undoes) a section: passed over, or read and run by PlanRunner. Every work section
// of every kind runs here. false when it failed.
bool runSection(OperationContext& context, const SectionReading& reading, std::string_view section,
                Direction direction);

}  // namespace kestrel::setup
