// The client calls the logger makes. They are bound at link time; tests replace single
// entries to make one call fail while the others reach the real client.
#pragma once

#include "nwcalls.h"
#include "nwlocale.h"
#include "nwnet.h"

namespace kestrel::rclog {

struct ClientCalls {
    decltype(&::NWCallsInit) NWCallsInit = &::NWCallsInit;
    decltype(&::NWLlocaleconv) NWLlocaleconv = &::NWLlocaleconv;
    decltype(&::NWInitUnicodeTables) NWInitUnicodeTables = &::NWInitUnicodeTables;
    decltype(&::NWFreeUnicodeTables) NWFreeUnicodeTables = &::NWFreeUnicodeTables;
    decltype(&::NWDSCreateContext) NWDSCreateContext = &::NWDSCreateContext;
    decltype(&::NWDSGetContext) NWDSGetContext = &::NWDSGetContext;
    decltype(&::NWDSSetContext) NWDSSetContext = &::NWDSSetContext;
    decltype(&::NWDSFreeContext) NWDSFreeContext = &::NWDSFreeContext;
    decltype(&::NWDSWhoAmI) NWDSWhoAmI = &::NWDSWhoAmI;
    decltype(&::NWDSAllocBuf) NWDSAllocBuf = &::NWDSAllocBuf;
    decltype(&::NWDSInitBuf) NWDSInitBuf = &::NWDSInitBuf;
    decltype(&::NWDSPutAttrName) NWDSPutAttrName = &::NWDSPutAttrName;
    decltype(&::NWDSRead) NWDSRead = &::NWDSRead;
    decltype(&::NWDSGetAttrCount) NWDSGetAttrCount = &::NWDSGetAttrCount;
    decltype(&::NWDSGetAttrName) NWDSGetAttrName = &::NWDSGetAttrName;
    decltype(&::NWDSComputeAttrValSize) NWDSComputeAttrValSize = &::NWDSComputeAttrValSize;
    decltype(&::NWDSGetAttrVal) NWDSGetAttrVal = &::NWDSGetAttrVal;
    decltype(&::NWDSFreeBuf) NWDSFreeBuf = &::NWDSFreeBuf;
};

}  // namespace kestrel::rclog
