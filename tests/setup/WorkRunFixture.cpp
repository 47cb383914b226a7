#include "WorkRunFixture.h"

#include "program/InstallDriver.h"
#include "program/InstallServices.h"
#include "program/RunTransaction.h"
#include "program/RunWizard.h"

namespace kestrel::setup::test {

const char* const kProduct =
    "ProductName=Acme Tools\nProductNameShort=AcmeTools\nVersion=2.0\n"
    "MachineKeyName=Acme\\Tools\\2.0\nUninstallKeyName=Acme Tools\n"
    "UninstallDisplayName=Acme Tools 2.0\nAskDir=1\nAskUser=1\nPrompts=Port\n"
    "[Prompts]\nPort=Port number,8080,Port:,5,NUMBER,\n"
    "[Options]\nBase=Base,DEFAULT,,\nDocs=Docs,0,,\n"
    "[Base]\n0:a.txt,a.txt,,4\n"
    "[Docs]\n0:d.txt,Docs\\d.txt,,4\n";

SetupRun& WorkRunFixture::startRun(const std::string& sections,
                                   const std::function<void(RunState&)>& kind,
                                   const std::vector<std::string>& commandLine) {
    run_.reset();
    start(sections, nullptr, commandLine);
    if (kind) kind(session_->run());
    run_ = std::make_unique<SetupRun>(*session_);
    run_->clientSwitch = session_->run().client;
    run_->fromCDSwitch = session_->run().fromCD;
    run_->askDir = session_->settings().askDir;
    run_->askOptions = askOptions_;
    run_->installerPath = "C:\\setup\\setup.exe";
    auto starter = std::make_unique<RecordingStarter>();
    starter_ = starter.get();
    run_->programs = std::move(starter);
    run_->pages.emplace(session_->messages(), *machine_);
    EXPECT_TRUE(makeWorkServices(*run_));
    return *run_;
}

bool WorkRunFixture::wizardAndWork() {
    const bool done = runWizard(*run_) && installProduct(*run_);
    const RunState& state = session_->run();
    endTransaction(*run_, done && !state.abort && !state.commandList);
    return done;
}

void WorkRunFixture::sources() {
    source("a.txt", "base");
    source("d.txt", "docs");
}

}  // namespace kestrel::setup::test
