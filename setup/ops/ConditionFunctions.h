#pragma once

#include "ops/OperationContext.h"
#include "script/Condition.h"

namespace kestrel::setup {

// The functions a condition may call, on the machine root's Windows paths:
// DoesFileExist(path) and DoesPathExist(path) give "1" when the file or directory exists,
// else "0"; FileVersion(path) gives the file's FileVersion string, else its fixed version
// numbers, and empty text for a file without version information.
ConditionFunction conditionFunctions(OperationContext& context);

}  // namespace kestrel::setup
