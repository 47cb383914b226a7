// A private world for the logger's tests: an isolated user whose client reads a small tree, a
// program directory holding quillbox as WVIEWNT.EXE (a link) and the recording stand-in viewer
// as WVIEWNT0.EXE, and no display.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ClientWorld.h"
#include "ScriptedUi.h"
#include "nwkit/LinkedClient.h"

namespace kestrel::rclog::test {

// Tests start from the linked client and replace single calls.
using nw::kit::ClientCalls;
using nw::kit::linkedClient;

// How long one run of the program may take before the test stops it; every run here
// should end within a few seconds.
inline constexpr std::chrono::seconds kRunLimit{60};
inline constexpr int kTimedOut = -2;

struct ProgramRun {
    int exitCode;
    std::string errors;  // standard error
};

class RclogTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Logs the workstation in to ACME_TREE as CN=Admin.O=Acme, for every later process.
    void login();
    void writeConfig(const std::string& text);

    // The core, in this process, as if started as `programPath_` with `arguments`.
    int runCore(ScriptedUi& ui, std::vector<std::string> arguments,
                ClientCalls calls = linkedClient());
    int runCore(ScriptedUi& ui, std::vector<std::string> arguments, const std::string& programPath,
                ClientCalls calls = linkedClient());
    // The real program: `argv` as given, started from `executable` (default the link); stopped
    // with everything it started after `limit`, with the exit code kTimedOut.
    ProgramRun runProgram(const std::vector<std::string>& argv, std::string executable = "",
                          std::chrono::seconds limit = kRunLimit);

    // Each run of the stand-in viewer: its argv (after the probe result, if any).
    std::vector<std::vector<std::string>> viewerRuns() const;
    std::string startLog() const { return kestrel::test::readFile(zen_ / "Quillbox.CS0"); }
    std::string sessionLog() const { return kestrel::test::readFile(zen_ / "Quillbox.CSV"); }

    kestrel::test::ClientWorld world_;
    const std::filesystem::path& root_ = world_.root();
    kestrel::test::ScopedEnvironment& environment_ = world_.environment();
    std::filesystem::path zen_ = root_ / "zen";
    std::string programPath_ = (zen_ / "WVIEWNT.EXE").string();
};

// The lines of a log text, split at CR LF; a last piece without CR LF is kept as it is.
std::vector<std::string> logLines(const std::string& text);

// A log line without its first `count` time stamps ("hh:mm:ss, dd Mon yyyy, "); nullopt when
// the line does not start so.
std::optional<std::string> afterStamps(const std::string& line, int count);

}  // namespace kestrel::rclog::test
