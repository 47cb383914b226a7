/* The Beacon library: names its own version, so the program shows which copy it loaded. */
#include <windows.h>

__declspec(dllexport) const char* WINAPI BeaconVersion(void) {
    return "Beacon library " BEACON_LIBRARY_VERSION;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
