#pragma once

#include "program/SetupRun.h"

namespace kestrel::setup {

// What the run does with an installation of the product that is there already. The
// detection gives installed, newer revision and per-user part; a service release counts as
// not installed and repeats the installation of its own version. A run still open (no
// administrator installation, new instance, uninstallation, repeat or service release) on an
// installed product: /M changes it; a silent run repeats a newer revision, else installs a
// new instance; otherwise 5562 offers the repeat for a newer revision, and the INSTSAME
// page asks the rest. A new instance of nothing is a plain installation. false when the
// person cancels on INSTSAME.
bool settleExistingInstallation(SetupRun& run);

// Whether INSTSAME offers Uninstall: the installation is recorded (MachineKeyName) and
// HideUninstall is 0 or 1.
bool offersUninstall(const ApplicationSettings& settings);

}  // namespace kestrel::setup
