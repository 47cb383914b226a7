/* kestrel-setup.exe: the installer as Windows programs in a Wine prefix start it.

   Products carry it as their Setup.exe, and their scripts copy it into the Windows folder as
   _UnInst.exe, which the list of installed programs runs. The installer itself is the suite's
   Linux program `setup`: this program hands the run over to it, in the prefix of the Wine
   session it was started in, with the command line it was given, and waits for it to end.

   Where `setup` lies is written at the end of this file, after the program, as a line
   "#kestrel-setup-program=<path>": the build writes the build tree's, the installation the
   installed one's, so a copy anywhere finds it. Wine gives no handle to wait on for a Linux
   program it starts; the two talk through a status file instead, named in the environment
   variable KESTREL_SETUP_STATUS: `setup` writes its process number into it when it starts
   and "exit <code>" when it ends, and a process number whose process has gone without the
   exit line is a program that crashed. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define RECORD "\n#kestrel-setup-program="
#define TAIL_SIZE 8192
#define CRASHED 255
/* How long `setup` may take to write its process number: Wine starts it through a shell. */
#define START_SECONDS 120

typedef char*(CDECL* UnixNameFunction)(const WCHAR*);
typedef WCHAR*(CDECL* DosNameFunction)(const char*);

static HANDLE errors;

static void say(const char* text) {
    DWORD written;
    if (errors && errors != INVALID_HANDLE_VALUE) {
        WriteFile(errors, text, (DWORD)strlen(text), &written, NULL);
        WriteFile(errors, "\n", 1, &written, NULL);
    }
    /* From a desktop nobody reads standard error. */
    if (GetEnvironmentVariableW(L"DISPLAY", NULL, 0) ||
        GetEnvironmentVariableW(L"WAYLAND_DISPLAY", NULL, 0))
        MessageBoxA(NULL, text, "Setup", MB_OK | MB_ICONERROR);
}

/* The program path recorded at the end of our own file, as the bytes (UTF-8) written there. */
static int recordedProgram(char* program, size_t size) {
    WCHAR self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(NULL, self, sizeof self / sizeof self[0]);
    if (length == 0 || length >= sizeof self / sizeof self[0]) return 0;
    HANDLE file = CreateFileW(self, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER fileSize;
    static char tail[TAIL_SIZE + 1];
    DWORD got = 0;
    if (GetFileSizeEx(file, &fileSize)) {
        LARGE_INTEGER at;
        at.QuadPart = fileSize.QuadPart > TAIL_SIZE ? fileSize.QuadPart - TAIL_SIZE : 0;
        if (!SetFilePointerEx(file, at, NULL, FILE_BEGIN) ||
            !ReadFile(file, tail, TAIL_SIZE, &got, NULL))
            got = 0;
    }
    CloseHandle(file);
    tail[got] = 0;
    /* The last record counts: an installation writes its own after the build's. */
    const char* found = NULL;
    for (const char* at = tail; (at = memchr(at, '\n', tail + got - at)) != NULL; ++at)
        if ((size_t)(tail + got - at) >= sizeof RECORD - 1 &&
            !memcmp(at, RECORD, sizeof RECORD - 1))
            found = at + sizeof RECORD - 1;
    if (!found) return 0;
    const char* end = memchr(found, '\n', tail + got - found);
    if (!end || (size_t)(end - found) >= size) return 0;
    memcpy(program, found, end - found);
    program[end - found] = 0;
    return end > found;
}

/* Our command line without the program's name, which ends as the C runtime ends it. */
static const WCHAR* ourArguments(void) {
    const WCHAR* at = GetCommandLineW();
    if (*at == L'"') {
        ++at;
        while (*at && *at != L'"') ++at;
        if (*at) ++at;
    } else {
        while (*at && *at != L' ' && *at != L'\t') ++at;
    }
    while (*at == L' ' || *at == L'\t') ++at;
    return at;
}

static int exists(DosNameFunction dosName, const char* unixPath) {
    WCHAR* path = dosName(unixPath);
    if (!path) return 0;
    const int found = GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    HeapFree(GetProcessHeap(), 0, path);
    return found;
}

/* Waits for the exit line in the status file; CRASHED when the program went without one. */
static int waitForExit(const WCHAR* statusFile, DosNameFunction dosName) {
    const DWORD started = GetTickCount();
    char processDirectory[64] = "";
    for (;;) {
        char text[256] = "";
        DWORD got = 0;
        HANDLE file = CreateFileW(statusFile, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            if (!ReadFile(file, text, sizeof text - 1, &got, NULL)) got = 0;
            CloseHandle(file);
        }
        text[got] = 0;
        const char* line = strstr(text, "\nexit ");
        int code;
        if (line && strchr(line + 1, '\n') && sscanf(line + 6, "%d", &code) == 1) return code;
        unsigned long process;
        if (!processDirectory[0] && strchr(text, '\n') && sscanf(text, "%lu", &process) == 1)
            snprintf(processDirectory, sizeof processDirectory, "/proc/%lu", process);
        if (processDirectory[0] && !exists(dosName, processDirectory)) {
            say("Setup ended without finishing its work.");
            return CRASHED;
        }
        if (!processDirectory[0] && GetTickCount() - started > START_SECONDS * 1000) {
            say("Setup did not start.");
            return CRASHED;
        }
        Sleep(100);
    }
}

/* A console program: Wine gives one its standard handles when they are files or pipes, and
   passes them on to the Linux program. */
int main(void) {
    errors = GetStdHandle(STD_ERROR_HANDLE);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const UnixNameFunction unixName =
        (UnixNameFunction)(void (*)(void))GetProcAddress(kernel, "wine_get_unix_file_name");
    const DosNameFunction dosName =
        (DosNameFunction)(void (*)(void))GetProcAddress(kernel, "wine_get_dos_file_name");
    WCHAR configDirectory[MAX_PATH * 4];
    const DWORD configLength = GetEnvironmentVariableW(
        L"WINECONFIGDIR", configDirectory, sizeof configDirectory / sizeof configDirectory[0]);
    if (!unixName || !dosName || configLength == 0 ||
        configLength >= sizeof configDirectory / sizeof configDirectory[0]) {
        say("Setup runs in Wine only: it hands over to the Linux program setup.");
        return CRASHED;
    }

    static char program[4096];
    if (!recordedProgram(program, sizeof program)) {
        say("This copy of Setup does not say where the program setup is installed.");
        return CRASHED;
    }
    WCHAR* programPath = dosName(program);
    if (!programPath || GetFileAttributesW(programPath) == INVALID_FILE_ATTRIBUTES) {
        static char text[sizeof program + 64];
        snprintf(text, sizeof text, "The program setup is not at %s.", program);
        say(text);
        return CRASHED;
    }

    /* The session's prefix, and the status file, both as Linux paths for the Linux program. */
    char* prefix = unixName(configDirectory);
    WCHAR folder[MAX_PATH], statusFile[MAX_PATH];
    char* statusUnix = NULL;
    if (GetTempPathW(MAX_PATH, folder) && GetTempFileNameW(folder, L"kst", 0, statusFile))
        statusUnix = unixName(statusFile);
    if (!prefix || !statusUnix) {
        say("Setup cannot find the Wine prefix it runs in.");
        return CRASHED;
    }
    SetEnvironmentVariableA("WINEPREFIX", prefix);
    SetEnvironmentVariableA("KESTREL_SETUP_STATUS", statusUnix);

    const WCHAR* arguments = ourArguments();
    const size_t size = wcslen(programPath) + wcslen(arguments) + 4;
    WCHAR* line = malloc(size * sizeof(WCHAR));
    if (!line) return CRASHED;
    swprintf(line, size, L"\"%ls\"%ls%ls", programPath, *arguments ? L" " : L"", arguments);

    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errors;
    PROCESS_INFORMATION started;
    if (!CreateProcessW(programPath, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &started)) {
        static char text[sizeof program + 64];
        snprintf(text, sizeof text, "Wine cannot start %s (error %lu).", program, GetLastError());
        say(text);
        DeleteFileW(statusFile);
        return CRASHED;
    }
    if (started.hProcess) CloseHandle(started.hProcess);
    if (started.hThread) CloseHandle(started.hThread);
    const int code = waitForExit(statusFile, dosName);
    DeleteFileW(statusFile);
    return code;
}
