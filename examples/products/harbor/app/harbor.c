/* Harbor Log: the sample product's program. It shows which version of the harbor library
   the loader found, so an installation that left an older library on the search path is
   seen at once. */
#include <windows.h>

typedef const char*(WINAPI* VersionFunction)(void);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    const char* text = "The harbor library could not be loaded.";
    HMODULE library = LoadLibraryA("HARBOR.DLL");
    if (library) {
        VersionFunction version = (VersionFunction)(void*)GetProcAddress(library, "HarborVersion");
        if (version) text = version();
    }
    MessageBoxA(NULL, text, "Harbor Log", MB_OK | MB_ICONINFORMATION);
    if (library) FreeLibrary(library);
    return 0;
}
