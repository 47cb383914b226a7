#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// The progress window and the installation's work: the components' work lists, the runtime
// version check, the records, Readme and Execute, a workstation's links, the administrator
// copy's script. false when the work failed or was cancelled (the abort flag tells which).
bool installProduct(SetupRun& run);

}  // namespace kestrel::setup
