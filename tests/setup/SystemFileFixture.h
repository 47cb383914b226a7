#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SetupFixture.h"
#include "plan/Plan.h"

namespace kestrel::setup::test {

// A setup fixture for the sections that edit files of the machine root (INI, CONFIG.SYS,
// batch files): files named by their Windows paths, steps run or round-tripped.
class SystemFileFixture : public SetupFixture {
  protected:
    using SetupFixture::SetupFixture;

    std::filesystem::path host(std::string_view windowsPath) const;
    void put(std::string_view windowsPath, std::string_view content) const;
    // The file's bytes, or "<none>" when there is no such file.
    std::string read(std::string_view windowsPath) const;
    // Makes the root a Windows 98 system.
    void makeWindows98();

    bool run(std::optional<PlanStep>& step, Direction direction);
    // Install, look, uninstall: the machine must be as before (installAndUninstall).
    ::testing::AssertionResult roundTrip(std::optional<PlanStep> step,
                                         const std::function<void()>& whileInstalled = {});
    OperationContext& context() { return session_->context(); }
};

}  // namespace kestrel::setup::test
