#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedUi.h"
#include "TestSupport.h"
#include "platform/MachineRoot.h"
#include "program/SetupSession.h"
#include "script/Environment.h"

namespace kestrel::setup::test {

// A machine root in a temporary prefix, an environment in memory, a scripted person, and
// a session over a script given as text (named C:\setup\Setup.inf). The root is a 32-bit
// system unless a test asks for a 64-bit one.
class SetupFixture : public ::testing::Test {
  protected:
    explicit SetupFixture(
        platform::WindowsArchitecture architecture = platform::WindowsArchitecture::Win32);

    // A new session over the script, given the command line's words first; with `settings`
    // its start-up steps run too.
    SetupSession& load(const std::string& script, bool settings = true,
                       const std::vector<std::string>& commandLine = {});
    std::string expand(std::string_view text) { return session_->expander().expand(text); }
    platform::Registry& registry() { return machine_->registry(); }
    // The text of a registry value, or "<none>".
    std::string value(platform::RegistryRoot root, std::string_view key, std::string_view name);

    kestrel::test::TempDir dir_;
    std::unique_ptr<platform::MachineRoot> machine_;
    std::unique_ptr<LazyMachineRoot> root_;  // machine_, as the session takes it
    MemoryEnvironment environment_;
    ScriptedUi ui_;
    std::unique_ptr<SetupSession> session_;
};

}  // namespace kestrel::setup::test
