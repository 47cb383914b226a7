#pragma once

#include <cstdint>
#include <string_view>

namespace kestrel::setup::commands {

// Starts the programs a script names (commands, uninstallers, Execute, Readme) on the
// machine root: Windows programs through Wine when it is installed, native programs
// directly, documents with the desktop's opener. Command lines are in the root's ANSI code
// page; the first word is the program (double quotes group blanks), the rest its
// parameters, and a link (.lnk, .pif) is resolved to its target first.
// The error of a document that no program on the machine opens.
inline constexpr std::uint32_t kErrorNoAssociation = 1155;

class ProgramStarter {
  public:
    virtual ~ProgramStarter() = default;
    // 0 when the program started (and, with `wait`, has ended), else the Windows error
    // number of the cause (2 file not found, 3 path not found, 5 access denied, 193 not a
    // program, 1155 a document nothing opens, ...). While waiting, the installer's windows stay
    // disabled but painted. `workingDirectory` is a Windows path; empty: the installer's own.
    virtual std::uint32_t start(std::string_view commandLine, std::string_view workingDirectory,
                                bool wait) = 0;
};

}  // namespace kestrel::setup::commands
