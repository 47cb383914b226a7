#pragma once

#include <optional>
#include <string_view>

#include "ops/Operation.h"
#include "plan/Plan.h"

namespace kestrel::setup {

// Reads an INI section ("[prefix.]file.ini") into a plan step: one operation per line, on
// the file the section names (sectionFileName) in the directory of its Path key or the
// Windows directory; Win.ini and System.ini always mean the system's own. The title is the
// section's Caption or "Working on <file>"; the section's use is counted. A missing section
// gives message 5529 and nullopt.
std::optional<PlanStep> readIniSection(OperationContext& context, std::string_view section);

}  // namespace kestrel::setup
