/* Connection calls of the NetWare client. Library: libclxwin32.so.
 *
 * A connection reference names one tree the workstation can reach; it stays valid for the
 * life of the process. A connection handle is an open use of a reference by this process. The
 * primary connection is the one to the default tree. */
#ifndef NWCLXCON_H
#define NWCLXCON_H

#include "nwdserr.h"
#include "nwdstype.h"

#ifdef __cplusplus
extern "C" {
#endif

#define NWCC_NAME_FORMAT_NDS 0x0001
#define NWCC_NAME_FORMAT_BIND 0x0002
#define NWCC_NAME_FORMAT_NDS_TREE 0x0008

#define NWCC_OPEN_LICENSED 0x0001
#define NWCC_OPEN_UNLICENSED 0x0002

#define NWCC_INFO_LEVEL_ALL 1

typedef struct {
    nuint32 connRef;
    nuint32 authenticationState; /* 1 when the workstation is logged in to the tree */
    nuint32 broadcastState;
    nuint32 openCount; /* open handles of this process */
    nstr8 treeName[MAX_TREE_NAME_BYTES];
    nstr8 userName[MAX_DN_BYTES];
} NWCCConnInfo, *pNWCCConnInfo;

NWAPI NWCCODE NWCCGetPrimConnRef(nuint32* connRef);
NWAPI NWCCODE NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const nstr8* name, nuint nameFormat,
                                 nuint openState, nuint tranType, NWCONN_HANDLE* connHandle);
NWAPI NWCCODE NWCCOpenConnByRef(nuint32 connRef, nuint openState, nuint reserved,
                                NWCONN_HANDLE* connHandle);
NWAPI NWCCODE NWCCCloseConn(NWCONN_HANDLE connHandle);
NWAPI NWCCODE NWCCGetConnRef(NWCONN_HANDLE connHandle, nuint32* connRef);
/* Closes every handle of this process on the reference. */
NWAPI NWCCODE NWCCSysCloseConnRef(nuint32 connRef);
/* Start with *scanIterator 0; NWE_NO_MORE_ENTRIES after the last reference. */
NWAPI NWCCODE NWCCScanConnRefs(nuint32* scanIterator, nuint32* connRef);
NWAPI NWCCODE NWCCGetAllConnRefInfo(nuint32 connRef, nuint infoLevel, pNWCCConnInfo connInfo);

#ifdef __cplusplus
}
#endif

#endif
