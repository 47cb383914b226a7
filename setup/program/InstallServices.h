#pragma once

#include <memory>

#include "commands/CommandRun.h"
#include "commands/SoundOutput.h"
#include "components/ComponentSizes.h"
#include "components/SectionDispatch.h"
#include "copy/CopyRun.h"
#include "ops/FileSection.h"
#include "ops/LinkServices.h"
#include "program/SetupRun.h"
#include "wizard/ProgressWindow.h"
#include "wizard/PromptAsker.h"

namespace kestrel::setup {

// Everything the run's work goes through, made once the kind is decided and before the
// component list (whose sizes the file section reader counts): the progress window, the
// copy engine, the script commands, the system operations, links, programs and sound, the
// prompt asker and the dispatch of work sections. It lives until the end of the run.
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
    LinkServices& links();
    PromptAsker& prompts();
    commands::CommandRun& commands();
    // Does or undoes a component's work section by its kind (the work list's processor).
    SectionProcessor sectionProcessor();
    // The bytes a component's own work section needs in this run (the component sizes).
    OwnSize ownSize();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

// Makes the run's services and its component list, each unless the run has it already: the
// list is read for the run's kind as decided by now (AskOptions, the registered components).
// false, after its message, when the list cannot be built.
bool makeWorkServices(SetupRun& run);

// The run's kind as the prompts see it: which prompts apply and whether the answers an
// earlier installation registered stand in for the pages.
PromptRun promptRunOf(OperationContext& context);

}  // namespace kestrel::setup
