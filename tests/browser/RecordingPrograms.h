// Stand-ins for WVIEWNT.EXE and DESKTOP.EXE that only record how they were started: each
// start appends its program name and arguments, tab-separated, as one line to a file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace kestrel::browser::test {

using Argv = std::vector<std::string>;

class RecordingPrograms {
  public:
    // Writes both programs into `folder`.
    explicit RecordingPrograms(const std::filesystem::path& folder);

    // The starts recorded so far, each as the program's file name and its arguments.
    std::vector<Argv> recorded() const;
    // Waits until at least `count` starts are recorded (at most ten seconds); the programs
    // run detached, so their records arrive a little later.
    std::vector<Argv> waitFor(std::size_t count) const;

  private:
    std::filesystem::path record_;
    kestrel::test::ScopedEnv variable_;
};

}  // namespace kestrel::browser::test
