#pragma once

#include "components/ComponentList.h"
#include "ops/OperationContext.h"

namespace kestrel::setup {

// Marks the script an administrator installation copied to the server (App + SetupInfDir +
// the script's name) as the administrator copy: [Admin] AdminSetup=1, and with `askOptions`
// the components the administrator did not select taken out of its [Options], so users
// choose among the rest. The file is replaced at once and keeps its times, as the files
// beside it do. false, said with its message, when the copy cannot be read or written.
bool markAdministratorCopy(OperationContext& context, const ComponentList& components,
                           bool askOptions);

}  // namespace kestrel::setup
