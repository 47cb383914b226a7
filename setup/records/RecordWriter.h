// The records an installation leaves so that it can be found, repeated, changed and removed.
#pragma once

#include <string>

#include "ops/OperationContext.h"
#include "wizard/PromptAnswers.h"

namespace kestrel::setup::records {

// The running installer as the records name it: its own Windows path (the program that
// uninstalls a per-user part again).
struct InstallerProgram {
    std::string path;
};

// Writes the records of a finished installation below Software\<MachineKeyName>\Setup, in
// this order: the prompt answers, the Setup values, the machine records (not in a per-user
// part or a service release), the entry in the list of installed programs, the per-user
// mark under Users. Administrator installations and scripts without a MachineKeyName record
// nothing. A value that cannot be written shows 5518: Ignore goes on, Cancel sets the abort
// flag and returns false. The caller saves the registry afterwards.
bool writeRecords(OperationContext& context, const PromptAnswers& answers,
                  const InstallerProgram& installer);

}  // namespace kestrel::setup::records
