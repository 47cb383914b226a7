#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/Expected.h"
#include "platform/MachineRoot.h"

namespace kestrel::setup {

// The machine root a run works on, opened (and made, where the prefix has none) the first
// time the run needs it: a run that ends before (usage, a script that cannot be loaded)
// leaves no prefix behind.
class LazyMachineRoot {
  public:
    LazyMachineRoot(std::filesystem::path prefix, platform::MachineRootOptions options);
    // A root opened already.
    explicit LazyMachineRoot(platform::MachineRoot& open);

    const std::filesystem::path& prefix() const { return prefix_; }
    // Whether there is a root to open: the prefix has its system hive.
    bool exists() const;
    // The open root, or nullptr before open().
    platform::MachineRoot* opened() const { return root_; }
    // Opens or makes the root on the first call; later calls give the same root, or the
    // same reason why there is none.
    [[nodiscard]] platform::Expected<platform::MachineRoot*, std::string> open();

  private:
    std::filesystem::path prefix_;
    platform::MachineRootOptions options_;
    std::unique_ptr<platform::MachineRoot> owned_;
    platform::MachineRoot* root_ = nullptr;
    std::optional<std::string> failure_;
};

}  // namespace kestrel::setup
