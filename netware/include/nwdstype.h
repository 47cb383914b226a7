/* Basic types and limits of the NetWare client API.
 *
 * The names and widths are those of the NetWare client for Windows, so that code written
 * against that client compiles unchanged. Text is UTF-8; every length limit below counts
 * characters, and the *_BYTES sizes are what a caller must provide to hold such a text with
 * its terminating zero. */
#ifndef NWDSTYPE_H
#define NWDSTYPE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int8_t nint8;
typedef uint8_t nuint8;
typedef int16_t nint16;
typedef uint16_t nuint16;
typedef int32_t nint32;
typedef uint32_t nuint32;
typedef int nint;
typedef unsigned int nuint;
typedef uint8_t nbool8;
typedef char nstr8;
typedef void* nptr;
typedef nuint8* pnuint8;
typedef nuint16* pnuint16;
typedef nuint32* pnuint32;
typedef nint32* pnint32;
typedef nstr8* pnstr8;

typedef nint32 NWDSCCODE; /* directory calls: 0 = success, negative = error */
typedef nint32 NWCCODE;   /* connection and general calls: 0 = success */
typedef nint32 NWDSContextHandle;
typedef nuint32 NWCONN_HANDLE;
typedef nuint32 NWCONN_NUM;

#define MAX_DN_CHARS 256
#define MAX_RDN_CHARS 128
#define MAX_SCHEMA_NAME_CHARS 32
#define MAX_TREE_NAME_CHARS 32
#define MAX_VALUE_CHARS 4096

/* UTF-8 needs at most four bytes a character. */
#define MAX_DN_BYTES (4 * MAX_DN_CHARS + 1)
#define MAX_RDN_BYTES (4 * MAX_RDN_CHARS + 1)
#define MAX_SCHEMA_NAME_BYTES (4 * MAX_SCHEMA_NAME_CHARS + 1)
#define MAX_TREE_NAME_BYTES (4 * MAX_TREE_NAME_CHARS + 1)

#if defined(NWCLIENT_BUILDING_LIBRARY)
#define NWAPI __attribute__((visibility("default")))
#else
#define NWAPI
#endif

#ifdef __cplusplus
}
#endif

#endif
