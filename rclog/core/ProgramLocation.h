// Where the program lies, split the way Windows splits a program path: drive, directory,
// base name and extension. Linux has no drive letters, so the drive is the host directory a
// Wine drive stands for when the program lies in one ($WINEPREFIX/drive_c for C:), and empty
// otherwise: the whole file system is then the drive, as Wine's Z: is. The directory is the
// rest up to the file name, with leading and trailing '/'.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kestrel::rclog {

inline constexpr std::size_t kProgramPathLimit = 250;

struct ProgramLocation {
    std::string path;       // absolute, as the program was started (links not followed)
    std::string drive;      // "" or a host directory without trailing '/'
    std::string directory;  // "/ZEN/"
    std::string baseName;   // "WVIEWNT"
    std::string extension;  // ".EXE", or "" when the name has no '.'

    // drive + directory: where the configuration, the viewer and by default the logs lie.
    std::string programDirectory() const { return drive + directory; }
};

// The path the program goes by. The system's word decides: `runningFile` is the file it
// actually runs (/proc/self/exe, links resolved). The name the program was started under is
// preferred only when it leads to that same file, so a link named WVIEWNT.EXE finds its
// neighbours, not the target's, while a made-up argument 0 cannot move the configuration,
// the viewer and the logs anywhere else. Candidates, in order: `argv0` with a '/' (taken
// against the current directory), the file the system executed (`executedFile`, AT_EXECFN),
// a bare `argv0` searched on PATH as a shell would. "." components are dropped and links are
// not resolved. Without a running file (no /proc) the first candidate is taken unchecked.
std::string ownProgramPath(std::string_view argv0, std::string_view executedFile,
                           const std::filesystem::path& currentDirectory,
                           std::string_view searchPath, const std::filesystem::path& runningFile);

// Splits an absolute path.
ProgramLocation splitProgramPath(const std::string& path);

}  // namespace kestrel::rclog
