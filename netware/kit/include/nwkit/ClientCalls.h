// The client's entry points as one table of pointers, so that a program calls the client the
// same way whether it was linked with it (see LinkedClient.h) or found it by name at run time
// (see LibraryBinding.h). Tests replace single entries to make one call fail while the others
// reach the real client.
#pragma once

#include "nwcalls.h"
#include "nwclxcon.h"
#include "nwlocale.h"
#include "nwnet.h"

namespace nw::kit {

// The client libraries, named after the files they are shipped as (libcalwin32.so...).
enum class ClientLibrary { Calwin32, Clxwin32, Locwin32, Netwin32 };

// The entry points programs call through the table (the browser all of them, the logger and
// the guards some), with the library that exports each. One list, so the table, the link-time
// binding and the binding by name cannot disagree.
#define NWKIT_ENTRY_POINTS(X)               \
    X(Calwin32, NWCallsInit)                \
    X(Calwin32, NWLoginToFileServer)        \
    X(Calwin32, NWLogoutFromFileServer)     \
    X(Calwin32, NWParsePath)                \
    X(Calwin32, NWGetActiveConnListByType)  \
    X(Calwin32, NWGetConnectionInformation) \
    X(Calwin32, NWSendBroadcastMessage)     \
    X(Calwin32, NWSendConsoleBroadcast)     \
    X(Clxwin32, NWCCGetPrimConnRef)         \
    X(Clxwin32, NWCCOpenConnByName)         \
    X(Clxwin32, NWCCOpenConnByRef)          \
    X(Clxwin32, NWCCCloseConn)              \
    X(Clxwin32, NWCCGetConnRef)             \
    X(Clxwin32, NWCCSysCloseConnRef)        \
    X(Clxwin32, NWCCScanConnRefs)           \
    X(Clxwin32, NWCCGetAllConnRefInfo)      \
    X(Locwin32, NWLlocaleconv)              \
    X(Locwin32, NWInitUnicodeTables)        \
    X(Locwin32, NWFreeUnicodeTables)        \
    X(Netwin32, NWDSCreateContext)          \
    X(Netwin32, NWDSCreateContextHandle)    \
    X(Netwin32, NWDSDuplicateContextHandle) \
    X(Netwin32, NWDSGetContext)             \
    X(Netwin32, NWDSSetContext)             \
    X(Netwin32, NWDSFreeContext)            \
    X(Netwin32, NWDSLogin)                  \
    X(Netwin32, NWDSLogout)                 \
    X(Netwin32, NWIsDSAuthenticated)        \
    X(Netwin32, NWDSAuthenticateConn)       \
    X(Netwin32, NWDSCanDSAuthenticate)      \
    X(Netwin32, NWDSWhoAmI)                 \
    X(Netwin32, NWDSScanForAvailableTrees)  \
    X(Netwin32, NWDSAllocBuf)               \
    X(Netwin32, NWDSFreeBuf)                \
    X(Netwin32, NWDSInitBuf)                \
    X(Netwin32, NWDSPutAttrName)            \
    X(Netwin32, NWDSList)                   \
    X(Netwin32, NWDSRead)                   \
    X(Netwin32, NWDSGetObjectCount)         \
    X(Netwin32, NWDSGetObjectName)          \
    X(Netwin32, NWDSGetAttrCount)           \
    X(Netwin32, NWDSGetAttrName)            \
    X(Netwin32, NWDSComputeAttrValSize)     \
    X(Netwin32, NWDSGetAttrVal)             \
    X(Netwin32, NWDSAllocFilter)            \
    X(Netwin32, NWDSAddFilterToken)         \
    X(Netwin32, NWDSPutFilter)              \
    X(Netwin32, NWDSFreeFilter)             \
    X(Netwin32, NWDSSearch)

// One pointer per entry point, null until bound.
struct ClientCalls {
#define NWKIT_DECLARE_ENTRY_POINT(library, name) decltype(&::name) name = nullptr;
    NWKIT_ENTRY_POINTS(NWKIT_DECLARE_ENTRY_POINT)
#undef NWKIT_DECLARE_ENTRY_POINT
};

}  // namespace nw::kit
