#include "RunFixture.h"

namespace kestrel::setup::test {

SetupRun& RunFixture::start(const std::string& script,
                            const std::vector<std::string>& commandLine) {
    run_.reset();  // before the session it refers to
    load(script, true, commandLine);
    run_ = std::make_unique<SetupRun>(*session_);
    auto starter = std::make_unique<RecordingStarter>();
    starter_ = starter.get();
    run_->programs = std::move(starter);
    run_->pages.emplace(session_->messages(), *machine_);
    run_->sourceBeforeSrcDir = session_->sourceBeforeSrcDir();
    run_->startDirectory = "C:\\start\\";
    run_->installerPath = kInstaller;
    return *run_;
}

void RunFixture::registerProduct(std::map<std::string, std::string> values,
                                 platform::RegistryRoot root, const std::string& version) {
    values.emplace("ProductName", "Acme Tools");
    const std::string key = "Software\\Acme\\Tools\\" + version + "\\Setup";
    ASSERT_EQ(registry().createKey(root, key), 0);
    for (const auto& [name, text] : values) {
        ASSERT_EQ(registry().setValue(root, key, name,
                                      platform::RegistryValue::text(platform::kRegSz, text)),
                  0);
    }
}

}  // namespace kestrel::setup::test
