/* FILEHOLD.EXE <file>: a Windows program that holds a file open, as a running program holds
   its library, for the tests of files in use. It opens the file without sharing, reads from
   it, says "held" on its standard output and keeps the file until its standard input ends. */
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    char byte;
    DWORD got;
    ReadFile(file, &byte, 1, &got, NULL);
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &written, NULL);
    char buffer[64];
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, NULL) && got) {
    }
    CloseHandle(file);
    return 0;
}
