#pragma once

#include <optional>
#include <string_view>

#include "ops/Operation.h"
#include "plan/Plan.h"

namespace kestrel::setup {

// Reads a registry section ("....reg") into a plan step: one operation per line that names
// a known root (other lines, such as the section's Caption key, are not registry lines),
// the section's Caption or "Modifying system registry" as its title, its use counted. A
// missing section gives message 5529 and nullopt. `machineWide`: the caller counts the
// section for the machine part, so a per-user part applies its machine lines too.
std::optional<PlanStep> readRegistrySection(OperationContext& context, std::string_view section,
                                            bool machineWide);

}  // namespace kestrel::setup
