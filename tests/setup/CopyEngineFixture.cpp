#include "CopyEngineFixture.h"

namespace kestrel::setup::test {

void CopyEngineFixture::start(const std::string& sections, copy::OutputFiles* outputs,
                              const std::vector<std::string>& commandLine) {
    load(std::string(kHead) + sections, true, commandLine);
    session_->variables().set("User", "Alice Example");
    session_->variables().set("Company", "Acme Ltd");
    progress_ = std::make_unique<ProgressWindow>(session_->messages(), session_->run());
    progress_->open("Setup", true, true);
    copier_ = std::make_unique<copy::FileCopier>(
        context(), *progress_, copy::CopyServices{sources_, judge_, followUps_, inUse_, &hook_},
        outputs);
    reader_ = std::make_unique<FileSectionReader>(context(), *copier_);
}

fs::path CopyEngineFixture::source(const std::string& name, const std::string& content) {
    const fs::path file = host("C:\\setup\\" + name);
    fs::create_directories(file.parent_path());
    kestrel::test::writeFile(file, content);
    return file;
}

bool CopyEngineFixture::install(const char* section) {
    return runSection(context(), reader_->reading(), section, Direction::Install);
}

bool CopyEngineFixture::uninstall(const char* section) {
    return runSection(context(), reader_->reading(), section, Direction::Uninstall);
}

Plan CopyEngineFixture::plan(const char* section) {
    Plan plan;
    std::optional<PlanStep> step = reader_->read(section);
    EXPECT_TRUE(step.has_value()) << section;
    if (step) plan.steps.push_back(std::move(*step));
    return plan;
}

}  // namespace kestrel::setup::test
