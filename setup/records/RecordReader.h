// Reading an installation's records back, for runs that work on an existing installation.
#pragma once

#include <string>

#include "ops/OperationContext.h"

namespace kestrel::setup::records {

struct RegisteredProduct {
    std::string productName;  // empty: nothing is registered to work on
};

// For a new instance, uninstallation, repeat, maintenance or a per-user part: the registered
// application folder, user and company; then (not for a new instance outside a per-user
// part) the per-user records, the data folder, the kind of installation (administrator copy,
// workstation, client, from CD; not in a per-user part) and, where the run needs the
// registered source, Src. The variables and run flags are set; the product name is returned
// for the caller's check. Damaged records read as empty.
RegisteredProduct readBackRecords(OperationContext& context);

}  // namespace kestrel::setup::records
