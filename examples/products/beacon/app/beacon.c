/* Beacon Monitor: the second sample product's program, a console program. It reports its
   own version (from its version resource) and every piece of its installation it reads at
   start: the library beside it, its settings in the registry and in BEACON.INI, and the
   message file of the chosen language. A test sees from its output and exit code whether
   the installation is whole as Windows programs see it; exit code 0 only when it is. When
   the environment names a file in BEACON_REPORT, the same lines also go there, for starts
   whose output nobody reads (a shortcut opened by the shell). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

typedef const char*(WINAPI* TextFunction)(void);

static FILE* report;

static void say(const char* label, const char* value) {
    printf("%s%s\n", label, value);
    if (report) fprintf(report, "%s%s\r\n", label, value);
}

/* The program's own FileVersion numbers, "a.b.c.d"; false without a version resource. */
static BOOL ownVersion(char* text, size_t size) {
    char path[MAX_PATH];
    if (!GetModuleFileNameA(NULL, path, sizeof path)) return FALSE;
    DWORD handle = 0;
    const DWORD length = GetFileVersionInfoSizeA(path, &handle);
    if (length == 0) return FALSE;
    void* data = HeapAlloc(GetProcessHeap(), 0, length);
    if (!data) return FALSE;
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT fixedSize = 0;
    BOOL found = GetFileVersionInfoA(path, 0, length, data) &&
                 VerQueryValueA(data, "\\", (void**)&fixed, &fixedSize) && fixed;
    if (found) {
        snprintf(text, size, "%u.%u.%u.%u", (unsigned)HIWORD(fixed->dwFileVersionMS),
                 (unsigned)LOWORD(fixed->dwFileVersionMS), (unsigned)HIWORD(fixed->dwFileVersionLS),
                 (unsigned)LOWORD(fixed->dwFileVersionLS));
    }
    HeapFree(GetProcessHeap(), 0, data);
    return found;
}

/* A file beside the program. */
static void besideProgram(const char* name, char* path, size_t size) {
    GetModuleFileNameA(NULL, path, (DWORD)size);
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    strncat(path, name, size - strlen(path) - 1);
}

/* The setup writes the settings as a 32-bit program sees the registry. */
static BOOL station(char* text, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Beacon Labs\\Beacon Monitor", 0,
                      KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "Station", NULL, &type, (BYTE*)text, &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_SZ;
}

static BOOL firstLine(const char* path, char* text, size_t size) {
    FILE* file = fopen(path, "r");
    if (!file) return FALSE;
    const BOOL read = fgets(text, (int)size, file) != NULL;
    fclose(file);
    if (read) text[strcspn(text, "\r\n")] = '\0';
    return read;
}

int main(void) {
    const char* reportFile = getenv("BEACON_REPORT");
    if (reportFile && *reportFile) report = fopen(reportFile, "w");
    BOOL whole = TRUE;
    char text[512];

    whole &= ownVersion(text, sizeof text);
    say("Beacon Monitor ", whole ? text : "(no version resource)");

    const char* library = "(BEACON.DLL not loaded)";
    HMODULE module = LoadLibraryA("BEACON.DLL");
    TextFunction version =
        module ? (TextFunction)(void*)GetProcAddress(module, "BeaconVersion") : NULL;
    if (version) library = version();
    whole &= version != NULL;
    say("Library: ", library);

    const BOOL registered = station(text, sizeof text);
    whole &= registered;
    say("Station: ", registered ? text : "(not in the registry)");

    GetPrivateProfileStringA("Beacon", "Interval", "", text, sizeof text, "BEACON.INI");
    whole &= text[0] != '\0';
    say("Interval: ", text[0] ? text : "(not in BEACON.INI)");

    char path[MAX_PATH];
    besideProgram("MESSAGES.TXT", path, sizeof path);
    const BOOL messages = firstLine(path, text, sizeof text);
    whole &= messages;
    say("Language: ", messages ? text : "(no MESSAGES.TXT)");

    if (module) FreeLibrary(module);
    if (report) fclose(report);
    return whole ? 0 : 1;
}
