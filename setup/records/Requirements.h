// [Requirements]: conditions the machine must meet before the product is installed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

// A requirement line cut into its tokens at blanks. Parentheses and double quotes group
// blanks, so that a function's argument may be a path with blanks in it
// ("DoesFileExist(C:\Program Files\x.exe)"); the quotes themselves are dropped.
std::vector<std::string> requirementTokens(std::string_view line);

// Checks every non-empty line of [Requirements] (values and arguments expanded; functions
// DoesFileExist, DoesPathExist, FileVersion; numbers, versions or texts compared). A line
// with too few tokens shows 5528 and is skipped. The first line that does not hold (or has an
// unknown operator) is returned as written; nullopt when all hold.
std::optional<std::string> unmetRequirement(OperationContext& context);

// The check as the installation's start makes it: an unmet requirement, unless the run is
// silent, shows the script's RequirementsText (expanded, "\n" a line break) with 5565, else
// 5564 naming the line. false when a requirement is not met.
bool requirementsMet(OperationContext& context);

}  // namespace kestrel::setup::records
