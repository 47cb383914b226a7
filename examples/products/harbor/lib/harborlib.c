/* The harbor library: one function that names its own version, so the program can show
   which copy the loader found. */
#include <windows.h>

__declspec(dllexport) const char* WINAPI HarborVersion(void) {
    return "Harbor library " HARBOR_VERSION_TEXT;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
