/* Directory (NDS) calls of the NetWare client: contexts, buffers, list, read, search,
 * login and logout. Library: libnetwin32.so.
 *
 * Names. A distinguished name is a dotted list of components, leaf first:
 * CN=WS17.OU=Sales.O=Acme. "[Root]" names the root of a tree. A name with a leading full
 * stop is absolute; any other name is resolved against the context's name context (key 3)
 * when the context has DCV_CANONICALIZE_NAMES, and taken as absolute when it has not. Each
 * trailing full stop of a relative name climbs one level above the name context. Components
 * given without a type get the usual default types: the leaf CN, the last component O and
 * the ones between OU. Names and types compare without regard to case.
 *
 * Output names are typed (CN=WS17) unless the context has DCV_TYPELESS_NAMES (WS17). With
 * DCV_CANONICALIZE_NAMES, names that lie below the name context are returned relative to
 * it (a listing of the name context returns the children's own components); all others are
 * full names.
 *
 * Reply buffers. Calls that return objects or attributes fill the caller's buffer entry by
 * entry until the next entry would not fit and then return with *iterationHandle set to
 * where the next call goes on; the handle is -1 once everything was returned. A handle is
 * a position and holds no resources. An entry that does not fit into an empty buffer gives
 * ERR_INSUFFICIENT_BUFFER.
 *
 * Directory data of a tree is only served to a workstation that is logged in to that tree
 * (ERR_NO_ACCESS otherwise); tree names and logins need no login. */
#ifndef NWNET_H
#define NWNET_H

#include "nwdserr.h"
#include "nwdstype.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Context keys. */
#define DCK_FLAGS 1
#define DCK_CONFIDENCE 2
#define DCK_NAME_CONTEXT 3
#define DCK_TRANSPORT_TYPE 4
#define DCK_REFERRAL_SCOPE 5
#define DCK_LAST_CONNECTION 8
#define DCK_TREE_NAME 11
#define DCK_DSI_FLAGS 12
#define DCK_NAME_FORM 13

/* Bits of the flags word (key 1). A new context has
 * DCV_DEREF_ALIASES | DCV_XLATE_STRINGS | DCV_CANONICALIZE_NAMES. */
#define DCV_DEREF_ALIASES 0x01
#define DCV_XLATE_STRINGS 0x02
#define DCV_TYPELESS_NAMES 0x04
#define DCV_ASYNC_MODE 0x08
#define DCV_CANONICALIZE_NAMES 0x10
#define DCV_DEREF_BASE_CLASS 0x40
#define DCV_DISALLOW_REFERRALS 0x80

/* Buffer operations (NWDSInitBuf). */
#define DSV_READ 3
#define DSV_SEARCH 6
#define DSV_SEARCH_FILTER 28

/* Information types of NWDSRead and NWDSSearch. */
#define DS_ATTRIBUTE_NAMES 0
#define DS_ATTRIBUTE_VALUES 1

/* Search scopes. */
#define DS_SEARCH_ENTRY 0
#define DS_SEARCH_SUBORDINATES 1
#define DS_SEARCH_SUBTREE 2

/* Attribute syntaxes. */
#define SYN_UNKNOWN 0
#define SYN_DIST_NAME 1
#define SYN_CE_STRING 2
#define SYN_CI_STRING 3
#define SYN_PR_STRING 4
#define SYN_NU_STRING 5
#define SYN_CI_LIST 6
#define SYN_BOOLEAN 7
#define SYN_INTEGER 8
#define SYN_OCTET_STRING 9
#define SYN_TEL_NUMBER 10
#define SYN_FAX_NUMBER 11
#define SYN_NET_ADDRESS 12
#define SYN_OCTET_LIST 13
#define SYN_EMAIL_ADDRESS 14
#define SYN_PATH 15
#define SYN_REPLICA_POINTER 16
#define SYN_OBJECT_ACL 17
#define SYN_PO_ADDRESS 18
#define SYN_TIMESTAMP 19
#define SYN_CLASS_NAME 20
#define SYN_STREAM 21
#define SYN_COUNTER 22
#define SYN_BACK_LINK 23
#define SYN_TIME 24
#define SYN_TYPED_NAME 25
#define SYN_HOLD 26
#define SYN_INTERVAL 27

/* Network address types (Net_Address_T.addressType). */
#define NT_IPX 0
#define NT_IP 1
#define NT_SDLC 2
#define NT_TOKENRING_ETHERNET 3
#define NT_OSI 4
#define NT_APPLETALK 5
#define NT_NETBEUI 6
#define NT_SOCKADDR 7
#define NT_UDP 8
#define NT_TCP 9

/* Filter tokens (NWDSAddFilterToken). */
#define FTOK_END 0
#define FTOK_OR 1
#define FTOK_AND 2
#define FTOK_NOT 3
#define FTOK_LPAREN 4
#define FTOK_RPAREN 5
#define FTOK_AVAL 6
#define FTOK_EQ 7
#define FTOK_GE 8
#define FTOK_LE 9
#define FTOK_APPROX 10
#define FTOK_ANAME 14
#define FTOK_PRESENT 15
#define FTOK_RDN 16
#define FTOK_BASECLS 17
/* This client's own: followed by FTOK_AVAL text, matches the objects whose name, as the
 * search returns it, contains the text (case matters; "*" matches every name). The
 * directory answers it from its name index instead of sending every name to be sifted. */
#define FTOK_NAME_CONTAINS 0x4B01

/* Directory-information flags (key 12, NWDSReadObjectDSIInfo, NWDSGetDSIInfo). The
 * information block holds the requested fields in the order of these bits. */
#define DSI_OUTPUT_FIELDS 0x00000001
#define DSI_ENTRY_ID 0x00000002
#define DSI_ENTRY_FLAGS 0x00000004
#define DSI_SUBORDINATE_COUNT 0x00000008
#define DSI_MODIFICATION_TIME 0x00000010
#define DSI_MODIFICATION_TIMESTAMP 0x00000020
#define DSI_CREATION_TIMESTAMP 0x00000040
#define DSI_PARTITION_ROOT_ID 0x00000080
#define DSI_PARENT_ID 0x00000100
#define DSI_REVISION_COUNT 0x00000200
#define DSI_REPLICA_TYPE 0x00000400
#define DSI_BASE_CLASS 0x00000800
#define DSI_ENTRY_RDN 0x00001000
#define DSI_ENTRY_DN 0x00002000
#define DSI_PARTITION_ROOT_DN 0x00004000
#define DSI_PARENT_DN 0x00008000
#define DSI_PURGE_TIME 0x00010000
#define DSI_DEREFERENCE_BASE_CLASS 0x00020000

/* Object flags (Object_Info_T.objectFlags). */
#define DS_ALIAS_ENTRY 0x0001
#define DS_PARTITION_ROOT 0x0002
#define DS_CONTAINER_ENTRY 0x0004
#define DS_CONTAINER_ALIAS 0x0008

#define NO_MORE_ITERATIONS (-1)

/* A request or reply buffer. Callers treat it as opaque and reach it only through the
 * calls below. */
typedef struct {
    nuint32 operation; /* DSV_* the buffer holds, 0 for a fresh reply buffer */
    nuint32 flags;
    nuint32 maxLen;
    nuint32 curLen;
    pnuint8 curPos;
    pnuint8 data;
} Buf_T, *pBuf_T;

typedef struct {
    nuint32 objectFlags;
    nuint32 subordinateCount;
    nuint32 modificationTime;
    nstr8 baseClass[MAX_SCHEMA_NAME_BYTES];
} Object_Info_T, *pObject_Info_T;

/* Values of NWDSGetAttrVal: a text syntax gives a zero-terminated string; integer,
 * boolean, counter, interval and time (seconds since 1970) give an nuint32; an octet string
 * and a network address give the structures below, their bytes stored right behind the
 * structure in the caller's area. NWDSComputeAttrValSize tells the size to provide. */
typedef struct {
    nuint32 length;
    pnuint8 data;
} Octet_String_T, *pOctet_String_T;

typedef struct {
    nuint32 addressType;
    nuint32 addressLength;
    pnuint8 address;
} Net_Address_T, *pNet_Address_T;

typedef struct {
    nuint32 wholeSeconds;
    nuint16 replicaNum;
    nuint16 eventID;
} TimeStamp_T, *pTimeStamp_T;

typedef struct Filter_Cursor_T Filter_Cursor_T, *pFilter_Cursor_T;
typedef void (*NWDSFreeValFunc)(nuint32 syntax, nptr val);

/* Contexts. */
NWAPI NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle* newHandle);
NWAPI NWDSContextHandle NWDSCreateContext(void); /* ERR_CONTEXT_CREATION on failure */
NWAPI NWDSCCODE NWDSDuplicateContextHandle(NWDSContextHandle srcContext,
                                           NWDSContextHandle* destContext);
NWAPI NWDSCCODE NWDSFreeContext(NWDSContextHandle context);
/* Key 3 gives a text of up to MAX_DN_BYTES, key 11 one of up to MAX_TREE_NAME_BYTES, every
 * other key an nuint32. */
NWAPI NWDSCCODE NWDSGetContext(NWDSContextHandle context, nint key, nptr value);
NWAPI NWDSCCODE NWDSSetContext(NWDSContextHandle context, nint key, const void* value);

/* Buffers. */
NWAPI NWDSCCODE NWDSAllocBuf(size_t size, pBuf_T* buf);
NWAPI NWDSCCODE NWDSInitBuf(NWDSContextHandle context, nuint32 operation, pBuf_T buf);
NWAPI NWDSCCODE NWDSFreeBuf(pBuf_T buf);
NWAPI NWDSCCODE NWDSPutAttrName(NWDSContextHandle context, pBuf_T buf, const nstr8* attrName);

/* Listing and reading. */
NWAPI NWDSCCODE NWDSList(NWDSContextHandle context, const nstr8* object, nint32* iterationHandle,
                         pBuf_T subordinates);
NWAPI NWDSCCODE NWDSRead(NWDSContextHandle context, const nstr8* object, nuint32 infoType,
                         nbool8 allAttrs, pBuf_T attrNames, nint32* iterationHandle,
                         pBuf_T objectInfo);
NWAPI NWDSCCODE NWDSCloseIteration(NWDSContextHandle context, nint32 iterationHandle,
                                   nuint32 operation);
NWAPI NWDSCCODE NWDSGetObjectCount(NWDSContextHandle context, pBuf_T buf, nuint32* objectCount);
/* objectName: MAX_DN_BYTES. */
NWAPI NWDSCCODE NWDSGetObjectName(NWDSContextHandle context, pBuf_T buf, nstr8* objectName,
                                  nuint32* attrCount, pObject_Info_T objectInfo);
NWAPI NWDSCCODE NWDSGetAttrCount(NWDSContextHandle context, pBuf_T buf, nuint32* attrCount);
/* attrName: MAX_SCHEMA_NAME_BYTES. */
NWAPI NWDSCCODE NWDSGetAttrName(NWDSContextHandle context, pBuf_T buf, nstr8* attrName,
                                nuint32* attrValCount, nuint32* syntaxID);
NWAPI NWDSCCODE NWDSComputeAttrValSize(NWDSContextHandle context, pBuf_T buf, nuint32 syntaxID,
                                       nuint32* attrValSize);
NWAPI NWDSCCODE NWDSGetAttrVal(NWDSContextHandle context, pBuf_T buf, nuint32 syntaxID,
                               nptr attrVal);

/* Directory information of one object into a plain memory block of infoLength bytes. */
NWAPI NWDSCCODE NWDSReadObjectDSIInfo(NWDSContextHandle context, const nstr8* object,
                                      size_t infoLength, nptr distinguishedInfo);
/* Numbers give an nuint32, time stamps a TimeStamp_T, names and classes a text of up to
 * MAX_DN_BYTES. */
NWAPI NWDSCCODE NWDSGetDSIInfo(NWDSContextHandle context, nptr infoPtr, nuint32 infoLength,
                               nuint32 infoFlag, nptr data);

/* Search. */
NWAPI NWDSCCODE NWDSAllocFilter(pFilter_Cursor_T* cur);
NWAPI NWDSCCODE NWDSAddFilterToken(pFilter_Cursor_T cur, nuint16 tok, nptr val, nuint32 syntax);
/* Stores the filter in the buffer and frees the cursor, whether it succeeds or not. */
NWAPI NWDSCCODE NWDSPutFilter(NWDSContextHandle context, pBuf_T buf, pFilter_Cursor_T cur,
                              NWDSFreeValFunc freeVal);
NWAPI void NWDSFreeFilter(pFilter_Cursor_T cur, NWDSFreeValFunc freeVal);
NWAPI NWDSCCODE NWDSSearch(NWDSContextHandle context, const nstr8* baseObjectName, nint scope,
                           nbool8 searchAliases, pBuf_T filter, nuint32 infoType, nbool8 allAttrs,
                           pBuf_T attrNames, nint32* iterationHandle, nint32 countObjectsToSearch,
                           nint32* countObjectsSearched, pBuf_T objectInfo);

/* Trees, login and identity. */
/* Start with *scanIndex -1; each call gives the next tree matching scanFilter ("*" and "?"
 * wildcards, no regard to case) in treeName (MAX_TREE_NAME_BYTES) and a non-zero result after
 * the last. */
NWAPI NWDSCCODE NWDSScanForAvailableTrees(NWDSContextHandle context, NWCONN_HANDLE connHandle,
                                          const nstr8* scanFilter, nint32* scanIndex,
                                          nstr8* treeName);
NWAPI NWDSCCODE NWDSLogin(NWDSContextHandle context, nuint32 optionsFlag, const nstr8* objectName,
                          const nstr8* password, nuint32 validityPeriod);
NWAPI NWDSCCODE NWDSLogout(NWDSContextHandle context);
NWAPI NWDSCCODE NWDSAuthenticateConn(NWDSContextHandle context, NWCONN_HANDLE connHandle);
/* 0 when the workstation holds a login to the context's tree. */
NWAPI NWDSCCODE NWDSCanDSAuthenticate(NWDSContextHandle context);
/* Non-zero when the workstation is logged in to at least one tree. */
NWAPI nint NWIsDSAuthenticated(void);
/* The full name of the user logged in to the context's tree (MAX_DN_BYTES). */
NWAPI NWDSCCODE NWDSWhoAmI(NWDSContextHandle context, nstr8* objectName);

#ifdef __cplusplus
}
#endif

#endif
