// The call table bound at link time, for programs linked with the client libraries (target
// nwkit_linked).
#pragma once

#include "nwkit/ClientCalls.h"

namespace nw::kit {

// Every entry point filled with the linked client's own; one table for the whole process.
const ClientCalls& linkedClient();

}  // namespace nw::kit
