/* What the lantern files that register themselves share: their keys' parent, which goes when
   they leave it empty. */
#include <windows.h>

static const char kParent[] = "Software\\Kestrel";

/* The parent key goes too when nothing else is in it. */
static void removeEmptyParent(void) {
    HKEY key;
    DWORD subkeys = 0, values = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParent, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    LONG queried = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, &values, NULL,
                                    NULL, NULL, NULL);
    RegCloseKey(key);
    if (queried == ERROR_SUCCESS && subkeys == 0 && values == 0)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kParent);
}
