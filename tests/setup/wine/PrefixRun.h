#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ScriptedUi.h"
#include "program/SetupSession.h"

namespace kestrel::setup::test {

// One run of ours on a Wine prefix, as the installer makes it: the root opened for the user
// alice, a scripted person, the script (named C:\setup\Setup.inf) loaded and its settings
// read.
class PrefixRun {
  public:
    // Fails, saying why, when the root cannot be opened or the settings not be read.
    ::testing::AssertionResult start(const std::filesystem::path& prefix,
                                     const std::string& script);
    OperationContext& context() { return session_->context(); }
    SetupSession& session() { return *session_; }

    ScriptedUi ui;

  private:
    std::unique_ptr<platform::MachineRoot> root_;
    std::optional<LazyMachineRoot> machine_;
    MemoryEnvironment environment_;
    std::unique_ptr<SetupSession> session_;
};

}  // namespace kestrel::setup::test
