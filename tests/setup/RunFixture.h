#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RecordsFixture.h"
#include "program/SetupRun.h"

namespace kestrel::setup::test {

// A run as the program makes it once the script's settings are read: its pages, a program
// starter that only records, the installer's path and the directory it started in.
class RunFixture : public SetupFixture {
  protected:
    // The session over the script with the command line's switches, its settings read.
    SetupRun& start(const std::string& script, const std::vector<std::string>& commandLine = {});
    // A Setup key of the product "Acme Tools" (kSetupKey's version 2.0 unless told).
    void registerProduct(std::map<std::string, std::string> values,
                         platform::RegistryRoot root = platform::RegistryRoot::LocalMachine,
                         const std::string& version = "2.0");
    RunState& state() { return session_->run(); }

    RecordingStarter* starter_ = nullptr;
    std::unique_ptr<SetupRun> run_;
};

}  // namespace kestrel::setup::test
