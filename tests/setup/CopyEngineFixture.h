#pragma once

#include <memory>
#include <string>

#include "CopyFakes.h"
#include "SetupFixture.h"
#include "copy/FileCopier.h"
#include "ops/FileSection.h"
#include "wizard/ProgressWindow.h"

namespace kestrel::setup::test {

// A session over a script with file sections, the copy engine over fake services, and the
// source directory C:\setup of the machine root to put source files in.
class CopyEngineFixture : public SetupFixture {
  protected:
    static constexpr const char* kHead =
        "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Acme\n";

    // Loads the head and `sections` with the command line's words; `outputs` stands in for
    // the host's files.
    void start(const std::string& sections, copy::OutputFiles* outputs = nullptr,
               const std::vector<std::string>& commandLine = {});
    OperationContext& context() { return session_->context(); }
    fs::path host(const std::string& windowsPath) { return *machine_->hostPath(windowsPath); }
    // A source file in C:\setup.
    fs::path source(const std::string& name, const std::string& content);
    bool install(const char* section);
    bool uninstall(const char* section);
    // The plan of one section, for a round trip.
    Plan plan(const char* section);

    FakeSources sources_;
    FakeJudge judge_;
    FakeFollowUps followUps_;
    FakeInUse inUse_;
    FakeHook hook_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<copy::FileCopier> copier_;
    std::unique_ptr<FileSectionReader> reader_;
};

}  // namespace kestrel::setup::test
