#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// The wizard's pages 0-9 with their conditions, then the final directories. false when the
// person cancelled or a page ended the run.
bool runWizard(SetupRun& run);

}  // namespace kestrel::setup
