#pragma once

#include <memory>

#include "commands/SoundOutput.h"
#include "copy/CopyRun.h"
#include "ops/FileSection.h"
#include "program/SetupRun.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup {

// Everything the run's work goes through, made once the kind is decided and before the
// component list (whose sizes the file section reader counts): the progress window, the
// copy engine, the script commands, the system operations, links, programs and sound, and
// the dispatch of work sections. It lives until the end of the run.
class InstallServices {
  public:
    explicit InstallServices(SetupRun& run);
    ~InstallServices();
    InstallServices(const InstallServices&) = delete;
    InstallServices& operator=(const InstallServices&) = delete;

    ProgressWindow& progress();
    FileSectionReader& sections();
    copy::CopyRun& copy();
    commands::SoundOutput& sound();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace kestrel::setup
