#pragma once

#include <string_view>

#include "ops/Operation.h"

namespace kestrel::setup {

// Reads a registry section ("....reg") into its operations, one per line that names a known
// root (other lines, such as the section's Caption key, are not registry lines).
OperationList readRegistrySection(OperationContext& context, std::string_view section,
                                  bool machineWide);

// Installs or undoes a registry section: consults the section usage count, shows the
// section's Caption (or "Modifying system registry") as the window title meanwhile, runs the
// lines (backwards when uninstalling) and saves the hives. A missing section gives message
// 5529. `machineWide`: the caller counts the section for the machine part, so a per-user
// part applies its machine lines too. false when the section failed.
bool processRegistrySection(OperationContext& context, std::string_view section,
                            Direction direction, bool machineWide = false);

}  // namespace kestrel::setup
