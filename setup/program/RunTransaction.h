// Every run that changes the machine root is a transaction: what its work changes is written
// down before each change (platform/ChangeJournal.h), and a run that fails or is cancelled
// undoes all of it, last change first, so the root is as it was before the run. A run that
// was killed leaves its journal behind; the next run of setup on the root undoes it first.
// A command list run (/T) undoes whatever it changed: it leaves nothing but its list. What
// programs started by the script did is theirs and stays.
#pragma once

#include "platform/MachineRoot.h"
#include "program/SetupRun.h"
#include "ui/Ui.h"

namespace kestrel::setup {

// Undoes the work of a run that did not finish on the root, saying so in one line (and one
// line for each change that could not be undone). Nothing is said when there was none.
void recoverUnfinishedRun(platform::MachineRoot& machine, Ui& ui);

// Starts the run's journal, before the work's first change. false, said plainly, when the
// root cannot take a journal (another run works on it, say): the work must not begin.
bool beginTransaction(SetupRun& run);

// The end of the work: a run that went well keeps what it did; one that failed, was
// cancelled, or only listed its files (/T) has it undone. What could not be undone is said.
void endTransaction(SetupRun& run, bool keep);

}  // namespace kestrel::setup
