#include "program/InstallServices.h"

#include "commands/AlsaSoundOutput.h"

namespace kestrel::setup {

// The copy engine alone for now; the commands, system operations and dispatch join it.
struct InstallServices::Parts {
    explicit Parts(SetupRun& run)
        : progress(run.session.messages(), run.session.run()),
          copy(run.session.context(), progress, *run.pages, registration, &run.hook) {}

    ProgressWindow progress;
    copy::NoRegistration registration;
    copy::CopyRun copy;
    commands::AlsaSoundOutput sound;
};

SetupRun::SetupRun(SetupSession& runSession) : session(runSession), hook(runSession) {}
SetupRun::~SetupRun() = default;

InstallServices::InstallServices(SetupRun& run) : parts_(std::make_unique<Parts>(run)) {}
InstallServices::~InstallServices() = default;

ProgressWindow& InstallServices::progress() {
    return parts_->progress;
}
FileSectionReader& InstallServices::sections() {
    return parts_->copy.sections();
}
copy::CopyRun& InstallServices::copy() {
    return parts_->copy;
}
commands::SoundOutput& InstallServices::sound() {
    return parts_->sound;
}

}  // namespace kestrel::setup
