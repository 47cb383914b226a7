#include "workstation/ZenPrograms.h"

#include <fcntl.h>
#include <unistd.h>

#include <system_error>

#include "platform/AsciiCase.h"
#include "platform/FileChecks.h"

namespace kestrel::browser {

namespace {

// Opened the way the check does it: for reading, and only a regular file counts (a folder
// or a FIFO of that name is no program, and opening a FIFO must not block).
bool opensForReading(const std::filesystem::path& file) {
    if (!platform::isRegularFile(file)) return false;
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace

std::optional<std::filesystem::path> findProgramFile(const std::filesystem::path& directory,
                                                     std::string_view name) {
    auto exact = directory / name;
    if (opensForReading(exact)) return exact;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
        auto file = it->path();
        if (platform::equalsIgnoreAsciiCase(file.filename().string(), name) &&
            opensForReading(file))
            return file;
    }
    return std::nullopt;
}

ZenPrograms findZenPrograms(const std::filesystem::path& directory) {
    return {findProgramFile(directory, kViewerProgram).has_value(),
            findProgramFile(directory, kDesktopProgram).has_value()};
}

std::optional<std::string> missingProgramsQuestion(const ZenPrograms& programs) {
    std::string prefix;
    if (!programs.viewerFound && !programs.desktopFound)
        prefix = "Neither WVIEWNT.EXE nor DESKTOP.EXE ";
    else if (!programs.viewerFound)
        prefix = "WVIEWNT.EXE ";
    else if (!programs.desktopFound)
        prefix = "DESKTOP.EXE ";
    else
        return std::nullopt;
    return prefix +
           "couldn't be found in the start directory of Kestrelscope!\n"
           "You won't be able to do any ZEN specific operations!\n\nDo you like to proceed?";
}

}  // namespace kestrel::browser
