#include "LibrarySearch.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/FileChecks.h"

namespace kestrel::rclog {

namespace fs = std::filesystem;

std::vector<fs::path> programLibrarySearchPath() {
    std::vector<fs::path> directories;
    void* program = ::dlopen(nullptr, RTLD_LAZY);
    if (program == nullptr) return directories;
    Dl_serinfo size{};
    if (::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
        const std::unique_ptr<void, decltype(&std::free)> storage(std::malloc(size.dls_size),
                                                                  &std::free);
        auto* info = static_cast<Dl_serinfo*>(storage.get());
        if (info != nullptr) {
            *info = size;
            if (::dlinfo(program, RTLD_DI_SERINFOSIZE, info) == 0 &&
                ::dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
                for (unsigned i = 0; i < info->dls_cnt; ++i)
                    directories.emplace_back(info->dls_serpath[i].dls_name);
            }
        }
    }
    ::dlclose(program);
    return directories;
}

std::vector<fs::path> libraryPlaces(const std::string& name, const fs::path& programDirectory,
                                    const std::vector<fs::path>& searchPath) {
    std::vector<fs::path> directories = {programDirectory / ".." / "lib",
                                         programDirectory / ".." / "lib" / "kestrel"};
    directories.insert(directories.end(), searchPath.begin(), searchPath.end());
    std::vector<fs::path> places;
    for (const fs::path& directory : directories) {
        const fs::path place = (directory / name).lexically_normal();
        if (std::find(places.begin(), places.end(), place) == places.end()) places.push_back(place);
    }
    return places;
}

platform::Expected<platform::SharedLibrary, std::string> openLibrary(
    const std::string& name, const std::vector<fs::path>& places, int flags) {
    std::string failure;
    for (const fs::path& place : places) {
        if (!platform::isRegularFile(place)) continue;
        auto library = platform::SharedLibrary::open(place.string(), flags);
        if (library) return library;
        if (failure.empty()) failure = library.error();
    }
    auto library = platform::SharedLibrary::open(name, flags);
    if (library) return library;
    if (failure.empty())
        failure = name + " is neither beside the program nor on its library search path";
    return platform::unexpected(failure);
}

}  // namespace kestrel::rclog
