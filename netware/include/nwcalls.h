/* General calls of the NetWare client: initialisation, file-server logins, paths,
 * connection lists and broadcasts. Library: libcalwin32.so. */
#ifndef NWCALLS_H
#define NWCALLS_H

#include "nwdserr.h"
#include "nwdstype.h"

#ifdef __cplusplus
extern "C" {
#endif

#define OT_USER 0x0001
#define OT_FILE_SERVER 0x0004
#define OT_TREE_NAME 0x0078

#define NW_MAX_SERVER_NAME_LEN 49
#define NW_MAX_VOLUME_NAME_LEN 17
#define NW_MAX_PATH_LEN 256

/* Connection kinds of NWGetActiveConnListByType. */
#define NW_CONN_TYPE_ALL 0
#define NW_CONN_TYPE_NDS 1

/* Reads the client configuration and the directory. 0 = the client is usable (also when
 * no directory is configured: the workstation is then simply not logged in anywhere);
 * a configuration or directory file that cannot be read gives ERR_CLIENT_NOT_CONFIGURED
 * and a diagnostic naming the file and the position on standard error. Both arguments are
 * reserved and must be NULL. */
NWAPI NWCCODE NWCallsInit(nptr reserved1, nptr reserved2);

/* Bindery login and logout at a file server. The directory backend has no file servers. */
NWAPI NWCCODE NWLoginToFileServer(NWCONN_HANDLE conn, const nstr8* objName, nuint16 objType,
                                  const nstr8* password);
NWAPI NWCCODE NWLogoutFromFileServer(NWCONN_HANDLE conn);

/* Splits "SERVER/VOLUME:DIR\\SUB" (either slash) into its parts; a path without a server or
 * volume leaves those empty and *conn 0. Buffers: server NW_MAX_SERVER_NAME_LEN, volume
 * NW_MAX_VOLUME_NAME_LEN, path NW_MAX_PATH_LEN bytes. */
NWAPI NWCCODE NWParsePath(const nstr8* path, nstr8* serverName, NWCONN_HANDLE* conn, nstr8* volName,
                          nstr8* dirPath);

/* The open connections of this process of the given kind. */
NWAPI NWCCODE NWGetActiveConnListByType(nuint32 connType, NWCONN_HANDLE* connList, nuint32 maxConns,
                                        nuint32* numConns);

/* The object logged in on a connection: name (MAX_DN_BYTES), type, id, login time
 * (7 bytes: year-1900, month, day, hour, minute, second, weekday). */
NWAPI NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, NWCONN_NUM connNumber, nstr8* objName,
                                         nuint16* objType, nuint32* objID, nuint8* loginTime);

/* Messages to other connections and to the server console. */
NWAPI NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const nstr8* message, nuint16 connCount,
                                     const NWCONN_NUM* connList, nuint8* resultList);
NWAPI NWCCODE NWSendConsoleBroadcast(NWCONN_HANDLE conn, const nstr8* message, nuint16 connCount,
                                     const NWCONN_NUM* connList);

#ifdef __cplusplus
}
#endif

#endif
