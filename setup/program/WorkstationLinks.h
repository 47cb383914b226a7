#pragma once

#include "ops/OperationContext.h"

namespace kestrel::setup {

// The two links a workstation installation leaves: the administrator's uninstall link in the
// user's programs folder ("Software (Admin)") and the users' set-up link in the common
// programs folder ("Software (User)"), each unless its [Workstation] switch is 0. false when
// a link could not be made and the person did not go on.
bool createWorkstationLinks(OperationContext& context);
// Takes them away again with the installation, and their group folders once empty.
void removeWorkstationLinks(OperationContext& context);

}  // namespace kestrel::setup
