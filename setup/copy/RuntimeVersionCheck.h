#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/MessageEngine.h"
#include "platform/MachineRoot.h"
#include "script/RunState.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::copy {

// The runtime version check of CHECKRTVERSION files: once all files are in place, each one
// is looked for by its bare name the way programs in the root load it, and the person is
// told when they would load an older copy than the one installed, or when the installed
// file is older than the one the installation brought (an older file the person chose to
// keep).
class RuntimeVersionCheck {
  public:
    RuntimeVersionCheck(MessageEngine& messages, const RunState& run,
                        const platform::MachineRoot& machine, ProgressWindow& progress)
        : messages_(messages), run_(run), machine_(machine), progress_(progress) {}

    // A CHECKRTVERSION file at its destination (Windows path); `brought` is the version of
    // the file the line copied, when known (read it before the replacement decision drops
    // the new file).
    struct File {
        std::string installed;
        std::optional<std::uint64_t> brought;
    };
    void remember(std::string installed, std::optional<std::uint64_t> brought = std::nullopt);
    const std::vector<File>& remembered() const { return files_; }

    // Checks every remembered file (the application's directory first on the search
    // path, when given) and forgets them. Silent runs and administrator installations
    // check nothing.
    void run(std::string_view applicationDirectory = {});

  private:
    void check(const File& file, std::string_view applicationDirectory);

    MessageEngine& messages_;
    const RunState& run_;
    const platform::MachineRoot& machine_;
    ProgressWindow& progress_;
    std::vector<File> files_;
};

}  // namespace kestrel::setup::copy
