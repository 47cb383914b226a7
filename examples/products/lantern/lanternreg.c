/* The lantern library: registers itself under HKLM\Software\Kestrel\Lantern, so an
   installation can be seen to have called its registration functions; unregistered, it
   leaves no key of its own behind. */
#include <windows.h>

#include "lanternkey.h"

static const char kKey[] = "Software\\Kestrel\\Lantern";

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) {
    HKEY key;
    DWORD registered = 1;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return E_FAIL;
    LONG written = RegSetValueExA(key, "Registered", 0, REG_DWORD, (const BYTE*)&registered,
                                  sizeof registered);
    RegCloseKey(key);
    return written == ERROR_SUCCESS ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) {
    LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
    removeEmptyParent();
    return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
