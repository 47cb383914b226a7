// Finding a library the program loads by name. The program may be a copy in any folder, and a
// sanitizer's dlopen stands between the program and the dynamic linker, so that the program's
// run path is not honoured for a bare name: every place the linker would search for the
// program is tried by full path first.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Expected.h"
#include "platform/SharedLibrary.h"

namespace kestrel::rclog {

// The directories the dynamic linker searches for this program's libraries, in its order:
// LD_LIBRARY_PATH, the program's run path ($ORIGIN expanded), the system's directories.
std::vector<std::filesystem::path> programLibrarySearchPath();

// Where `name` may lie, in the order to try: lib/ and lib/kestrel/ beside the folder of the
// program's real file (a build tree, an installed layout), then each of `searchPath`; no
// place twice.
std::vector<std::filesystem::path> libraryPlaces(
    const std::string& name, const std::filesystem::path& programDirectory,
    const std::vector<std::filesystem::path>& searchPath);

// Opens the first of `places` that exists, then `name` by bare name (the linker's cache).
// When none loads, the error says why: the loader's word on a file that was there but could
// not be loaded, otherwise that the library was found nowhere.
platform::Expected<platform::SharedLibrary, std::string> openLibrary(
    const std::string& name, const std::vector<std::filesystem::path>& places, int flags);

}  // namespace kestrel::rclog
