/* The lantern program: a program that registers itself, as COM servers do with /REGSERVER,
   under HKLM\Software\Kestrel\LanternProgram, and with /UNREGSERVER deletes that key again.
   After registering it stays a few seconds, as such servers do, so that the prefix's
   wineserver keeps running after the installer started it (without waiting, as it must). */
#include <windows.h>

#include "lanternkey.h"

static const char kKey[] = "Software\\Kestrel\\LanternProgram";

int main(int argc, char** argv) {
    if (argc > 1 && !lstrcmpiA(argv[1], "/REGSERVER")) {
        HKEY key;
        DWORD registered = 1;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
            ERROR_SUCCESS)
            return 1;
        LONG written = RegSetValueExA(key, "Registered", 0, REG_DWORD, (const BYTE*)&registered,
                                      sizeof registered);
        RegCloseKey(key);
        Sleep(4000);
        return written == ERROR_SUCCESS ? 0 : 1;
    }
    if (argc > 1 && !lstrcmpiA(argv[1], "/UNREGSERVER")) {
        LONG deleted = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        removeEmptyParent();
        return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND ? 0 : 1;
    }
    return 2;
}
