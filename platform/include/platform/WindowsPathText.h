#pragma once

#include <string>
#include <string_view>

namespace kestrel::platform {

// The text of Windows paths and registry key paths, taken apart and put together without
// asking the file system or the registry. Each function works on the text alone, so a name
// the machine does not have is no different from one it has.

// What ends a directory part. Paths the programs build and registry keys use backslashes
// only; names a user or a script typed may use '/' as well, and a drive's colon ends one
// too ("A:SETUP.INF" names SETUP.INF on A:).
enum class PathSeparators {
    Backslash,
    BackslashOrSlash,
    BackslashOrColon,
    BackslashSlashOrColon,
};

// '\' or '/': Windows takes either between the names of a path.
bool isWindowsPathSeparator(char c);

// What follows the last separator: the whole path when it has none, empty when it ends in one.
std::string_view fileNamePart(std::string_view path,
                              PathSeparators separators = PathSeparators::Backslash);

// What precedes the last separator: empty when the path has none, and for a name right
// below a root ("C:\a.txt", "\a.txt") the drive or nothing, without the root's backslash.
std::string_view directoryPart(std::string_view path,
                               PathSeparators separators = PathSeparators::Backslash);

// directoryPart (backslashes only), except that a name right below a drive's root lies in
// that root: "C:\edit.exe" lies in "C:\", which unlike "C:" names a folder on its own.
std::string_view directoryPartKeepingRoot(std::string_view path);

// The path without one trailing backslash; a lone "\" (the current drive's root) stays.
std::string_view withoutTrailingBackslash(std::string_view path);

// The path without any of its trailing backslashes, a lone "\" among them.
std::string_view withoutTrailingBackslashes(std::string_view path);

// The name below the directory, with a backslash between them unless the directory is empty
// or already ends in a separator.
std::string joinWindowsPath(std::string_view directory, std::string_view name);

// Whether the path ends in the extension, given with its dot (".dsn"); Windows names match
// without regard to ASCII case.
bool hasExtension(std::string_view path, std::string_view extension);

// The text without the blanks (spaces and tabs) around it.
std::string_view trimBlanks(std::string_view text);

// The text without the blanks and line ends (CR, LF) around it.
std::string_view trimWhitespace(std::string_view text);

// The key above a registry key path, its empty components dropped the way the registry
// drops them ("Software\Acme\" lies in "Software"); empty for a key of the root.
std::string parentRegistryKey(std::string_view key);

}  // namespace kestrel::platform
