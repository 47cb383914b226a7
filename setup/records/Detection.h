// Whether the script's product is installed already, and in what form.
#pragma once

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

struct InstallationFound {
    bool installed = false;      // a ProductName is registered
    bool newerRevision = false;  // the script's Revision is greater than the registered one
    bool perUserPart = false;    // a workstation installation exists; this run is a user's part
};

// Reads Software\<MachineKeyName>\Setup. Outside administrator and workstation runs a
// workstation installation (MachineSetup) makes this run a per-user part; an uninstallation
// finds a user's part by the user's own ProductName when the machine has none. Nothing is
// found without a MachineKeyName.
InstallationFound detectInstallation(const OperationContext& context);

// The same version with a newer revision: message 5562 offers to repeat the installation
// with the new files. true on Yes.
bool askRepeatWithNewFiles(OperationContext& context);

}  // namespace kestrel::setup::records
