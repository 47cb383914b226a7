#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ui/Ui.h"

namespace kestrel::setup {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = -1;  // start-up failed or the run was aborted

struct SetupStart {
    std::vector<std::string> arguments;  // the words after the program's name
    std::filesystem::path currentDirectory;
    std::filesystem::path programDirectory;
    std::filesystem::path programFile;  // the running installer itself (not argv[0])
    std::filesystem::path prefix;       // the machine root
};

// The installer's start-up: the machine root, the command line, the script and its
// settings. /? shows the usage message and ends with 0; a script that cannot be found or
// read gives 5501 or 5502 and -1. The root is made only when the run gets that far.
int runSetup(const SetupStart& start, Ui& ui);

}  // namespace kestrel::setup
