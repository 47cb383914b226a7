#pragma once

#include <optional>
#include <string_view>

#include "ops/Operation.h"
#include "plan/Plan.h"

namespace kestrel::setup {

// Reads a CONFIG.SYS section (a name that is or ends in "Config.sys") into a plan step of
// one StartupFileOperation: CONFIG.SYS in the application directory when the product brings
// one, else C:\CONFIG.SYS; CONFIG.NT in the system folder on NT roots. The title is the
// section's Caption or "Working on Config.sys"; the section's use is counted. A missing
// section gives message 5529 and nullopt.
std::optional<PlanStep> readConfigSysSection(OperationContext& context, std::string_view section);

// Reads a batch-file section ("[prefix.]name.bat") into a plan step: the file lies in the
// directory of the section's Path key, else (a name without drive and directory) in the
// client directory, else in C:\. The system's start-up file C:\AUTOEXEC.BAT is not used on
// NT roots: there its PATH and SET lines become the registry's environment values
// (EnvironmentOperation) and its other lines do nothing. A line "Path=..." is the
// section's key; PATH lines are written with a blank ("PATH C:\DOS").
std::optional<PlanStep> readBatchSection(OperationContext& context, std::string_view section);

}  // namespace kestrel::setup
