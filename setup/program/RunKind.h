#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// What kind of run this is, from the installation that is there and the person's answers:
// the installed version and the wizard picture, the ADMIN page, the existing installation
// (repeat, maintenance, new instance, uninstallation), the requirements, the registered data
// read back, the uninstall confirmation, earlier versions and a workstation's users. false
// when the run ends here.
bool decideRunKind(SetupRun& run);

// Everything between the kind and the wizard: the administrator preparations, the extension
// module, the component list with /O and hook event 4, the main window shown and its sound.
// false when the run ends here.
bool prepareRun(SetupRun& run);

}  // namespace kestrel::setup
