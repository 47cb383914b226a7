#pragma once

#include "commands/ProgramStarter.h"
#include "ops/OperationContext.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {

// What the operations on the root's system work with: the run, the programs they start
// (Wine's registration program and service manager, where Wine is installed), the progress
// window that shows their titles and lets the person cancel.
struct SystemServices {
    OperationContext& context;
    commands::ProgramStarter& programs;
    ProgressWindow& progress;
};

}  // namespace kestrel::setup
