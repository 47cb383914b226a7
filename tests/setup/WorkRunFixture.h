#pragma once

#include <memory>
#include <string>

#include "CopyEngineFixture.h"
#include "commands/ActionFakes.h"
#include "program/SetupRun.h"

namespace kestrel::setup::test {

// One run of the installer from its decided kind on: the wizard and the installation, with
// the services the run really uses and programs recorded rather than started. A test sets
// the kind on the run state, as the command line and the existing installation would, then
// walks through the wizard and the work.
class WorkRunFixture : public CopyEngineFixture {
  protected:
    // A new session over the head and `sections` with the command line's words, the run's
    // services and its components made as for a run of the kind `kind` sets.
    SetupRun& startRun(const std::string& sections, const std::function<void(RunState&)>& kind = {},
                       const std::vector<std::string>& commandLine = {});
    // The wizard, then the installation, whose changes are kept when it went well and undone
    // otherwise (or for a command list), as at the end of a run; false where either ended
    // the run.
    bool wizardAndWork();
    // The product's sources in C:\setup.
    void sources();

    bool askOptions_ = false;  // AskOptions of the run's kind
    std::unique_ptr<SetupRun> run_;
    RecordingStarter* starter_ = nullptr;
};

// A product of two components with a directory page, a user page and a prompt, recorded
// under Software\Acme\Tools\2.0.
extern const char* const kProduct;

}  // namespace kestrel::setup::test
