/* Locale and Unicode tables of the NetWare client. Library: liblocwin32.so. */
#ifndef NWLOCALE_H
#define NWLOCALE_H

#include "nwdserr.h"
#include "nwdstype.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
    nint country_id; /* international dialling code: 1 USA, 44 UK, 49 Germany ... */
    nint code_page;  /* 437, 850, 1252 or 65001 (UTF-8) */
    nstr8 decimal_point[4];
    nstr8 thousands_sep[4];
} LCONV;

/* The workstation's locale, from LC_ALL, LC_CTYPE or LANG ("de_DE.UTF-8" gives country 49
 * and code page 65001); a plain "C" or unset locale gives country 1, code page 437. */
NWAPI LCONV* NWLlocaleconv(LCONV* lconvPtr);

/* Loads the conversion tables for a country and code page. 0 = success;
 * ERR_UNICODE_FILE_NOT_FOUND when the client has no tables for the pair. */
NWAPI nint NWInitUnicodeTables(nint countryCode, nint codePage);
NWAPI nint NWFreeUnicodeTables(void);

#ifdef __cplusplus
}
#endif

#endif
