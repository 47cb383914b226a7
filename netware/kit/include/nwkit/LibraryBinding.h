// Binding the call table to client libraries a program opened itself, so that it still
// starts (bound to nothing) on a machine without the client.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "nwkit/ClientCalls.h"
#include "platform/Expected.h"

namespace nw::kit {

// The entry point a library lacked.
struct BindError {
    ClientLibrary library;
    std::string entryPoint;

    std::string describe() const;  // "netwin32 has no NWDSList"
};

// "calwin32", "clxwin32", "locwin32" or "netwin32".
const char* libraryName(ClientLibrary library);

// Finds an entry point in one of the opened libraries; null when it is not there.
using SymbolLookup = std::function<void*(ClientLibrary library, const char* name)>;

// The table with every entry point of `libraries` looked up, or the first one missing: all or
// nothing, so that a half-bound client is never called. Entry points of other libraries stay
// null.
kestrel::platform::Expected<ClientCalls, BindError> bindByName(
    std::initializer_list<ClientLibrary> libraries, const SymbolLookup& lookUp);

}  // namespace nw::kit
