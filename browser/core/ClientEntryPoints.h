// The NetWare client calls the directory layer makes. They are looked up by name in the
// client libraries at start-up instead of being linked, so that the browser still starts
// (not logged in anywhere) on a machine without the client.
#pragma once

#include "nwcalls.h"
#include "nwclxcon.h"
#include "nwnet.h"

namespace kestrel::browser {

struct ClientEntryPoints {
    // CALWIN32
    decltype(&::NWCallsInit) NWCallsInit = nullptr;
    decltype(&::NWLoginToFileServer) NWLoginToFileServer = nullptr;
    decltype(&::NWLogoutFromFileServer) NWLogoutFromFileServer = nullptr;
    decltype(&::NWParsePath) NWParsePath = nullptr;
    decltype(&::NWGetActiveConnListByType) NWGetActiveConnListByType = nullptr;
    decltype(&::NWGetConnectionInformation) NWGetConnectionInformation = nullptr;
    decltype(&::NWSendBroadcastMessage) NWSendBroadcastMessage = nullptr;
    decltype(&::NWSendConsoleBroadcast) NWSendConsoleBroadcast = nullptr;
    // NETWIN32
    decltype(&::NWDSCreateContextHandle) NWDSCreateContextHandle = nullptr;
    decltype(&::NWDSGetContext) NWDSGetContext = nullptr;
    decltype(&::NWDSSetContext) NWDSSetContext = nullptr;
    decltype(&::NWDSFreeContext) NWDSFreeContext = nullptr;
    decltype(&::NWDSLogin) NWDSLogin = nullptr;
    decltype(&::NWDSLogout) NWDSLogout = nullptr;
    decltype(&::NWIsDSAuthenticated) NWIsDSAuthenticated = nullptr;
    decltype(&::NWDSAllocBuf) NWDSAllocBuf = nullptr;
    decltype(&::NWDSList) NWDSList = nullptr;
    decltype(&::NWDSGetObjectCount) NWDSGetObjectCount = nullptr;
    decltype(&::NWDSGetObjectName) NWDSGetObjectName = nullptr;
    decltype(&::NWDSFreeBuf) NWDSFreeBuf = nullptr;
    decltype(&::NWDSInitBuf) NWDSInitBuf = nullptr;
    decltype(&::NWDSRead) NWDSRead = nullptr;
    decltype(&::NWDSGetAttrCount) NWDSGetAttrCount = nullptr;
    decltype(&::NWDSGetAttrName) NWDSGetAttrName = nullptr;
    decltype(&::NWDSGetAttrVal) NWDSGetAttrVal = nullptr;
    decltype(&::NWDSDuplicateContextHandle) NWDSDuplicateContextHandle = nullptr;
    decltype(&::NWDSPutAttrName) NWDSPutAttrName = nullptr;
    // CLXWIN32
    decltype(&::NWCCGetPrimConnRef) NWCCGetPrimConnRef = nullptr;
    decltype(&::NWCCOpenConnByName) NWCCOpenConnByName = nullptr;
    decltype(&::NWCCOpenConnByRef) NWCCOpenConnByRef = nullptr;
    decltype(&::NWCCCloseConn) NWCCCloseConn = nullptr;
    decltype(&::NWCCGetConnRef) NWCCGetConnRef = nullptr;
    decltype(&::NWCCSysCloseConnRef) NWCCSysCloseConnRef = nullptr;
    decltype(&::NWCCScanConnRefs) NWCCScanConnRefs = nullptr;
    decltype(&::NWCCGetAllConnRefInfo) NWCCGetAllConnRefInfo = nullptr;

    // Further NETWIN32 calls that other programs link directly; bound the same way here.
    decltype(&::NWDSCreateContext) NWDSCreateContext = nullptr;
    decltype(&::NWDSAllocFilter) NWDSAllocFilter = nullptr;
    decltype(&::NWDSAddFilterToken) NWDSAddFilterToken = nullptr;
    decltype(&::NWDSPutFilter) NWDSPutFilter = nullptr;
    decltype(&::NWDSFreeFilter) NWDSFreeFilter = nullptr;
    decltype(&::NWDSSearch) NWDSSearch = nullptr;
    decltype(&::NWDSScanForAvailableTrees) NWDSScanForAvailableTrees = nullptr;
    decltype(&::NWDSAuthenticateConn) NWDSAuthenticateConn = nullptr;
    decltype(&::NWDSCanDSAuthenticate) NWDSCanDSAuthenticate = nullptr;
    decltype(&::NWDSWhoAmI) NWDSWhoAmI = nullptr;
    decltype(&::NWDSComputeAttrValSize) NWDSComputeAttrValSize = nullptr;
};

}  // namespace kestrel::browser
