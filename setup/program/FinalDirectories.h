#pragma once

#include "script/BuiltinVariables.h"
#include "script/RunState.h"

namespace kestrel::setup {

// The directories the work goes to, once the wizard is done: App and Client end in a
// backslash; a workstation's client or CD run takes its client directory from the source,
// any other run without one uses App; a client run (not a user's part) and a CD run start
// the application from the source.
void setFinalDirectories(const RunState& run, BuiltinVariables& variables);

}  // namespace kestrel::setup
