#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SystemFileFixture.h"
#include "commands/ActionFakes.h"
#include "system/SystemServices.h"
#include "system/WinePrograms.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::test {

// Wine's programs as the system operations' tests see them: every call written down as one
// line ("sc query KestrelBeacon"), answered from a queue per line (the last answer stays),
// else with exit code 0 and no output.
class FakeWine final : public WinePrograms {
  public:
    bool present = true;
    std::vector<std::string> calls;
    std::map<std::string, std::deque<platform::Expected<WineOutcome, std::string>>> answers;

    bool installed() const override { return present; }
    platform::Expected<WineOutcome, std::string> run(
        const std::vector<std::string>& arguments) override;
    // `sc query` reporting that state (1 stopped, 3 stop pending, 4 running).
    static WineOutcome state(int number);
};

// A session over a script with the system operations' services: programs recorded, Wine
// faked, the progress window of the run.
class ServiceFixture : public SystemFileFixture {
  protected:
    SystemServices& start(const std::string& script);
    std::string hklm(std::string_view key, std::string_view name) {
        return value(platform::RegistryRoot::LocalMachine, key, name);
    }
    bool hasKey(std::string_view key) {
        return session_->registry().keyExists(platform::RegistryRoot::LocalMachine, key);
    }

    RecordingStarter starter_;
    FakeWine wine_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<SystemServices> services_;
};

}  // namespace kestrel::setup::test
