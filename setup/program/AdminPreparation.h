#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// Before the pictures are loaded: an administrator installation takes its folder and AskDir
// from [Admin] (with /T and no folder, "C:\" and the product's name); a script that is an
// administrator's copy ([Admin] AdminSetup, unless the registered data were read back) finds
// its files above its own folder; Data is expanded; runs that deal with a server copy get
// ClientSrcDir from [Admin].
void prepareAdministration(SetupRun& run);

}  // namespace kestrel::setup
