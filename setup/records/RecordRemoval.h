// Removing an installation's records at the end of its uninstallation.
#pragma once

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

// Deletes the Options, Sections and Prompts keys, the Setup values, the machine records and
// the entry in the list of installed programs (outside a per-user part, or when the script
// names the entry), the user's mark under Users in a per-user part, then the Setup key and
// every parent up to Software that became empty; unless extra flag 2 or a workstation
// installation, also the product's user key (UserKeyName, when it holds no %Option
// reference) with everything below it. Deletions that fail are not reported: what is gone
// cannot be found again, and what is left is harmless. The caller saves the registry.
void deleteRecords(OperationContext& context);

}  // namespace kestrel::setup::records
