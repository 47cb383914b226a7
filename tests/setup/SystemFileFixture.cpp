#include "SystemFileFixture.h"

#include "RoundTrip.h"
#include "plan/PlanRunner.h"

namespace kestrel::setup::test {

namespace fs = std::filesystem;

fs::path SystemFileFixture::host(std::string_view windowsPath) const {
    auto path = machine_->hostPath(windowsPath);
    if (!path) throw std::runtime_error("no host path for " + std::string(windowsPath));
    return *path;
}

void SystemFileFixture::put(std::string_view windowsPath, std::string_view content) const {
    fs::create_directories(host(windowsPath).parent_path());
    kestrel::test::writeFile(host(windowsPath), content);
}

std::string SystemFileFixture::read(std::string_view windowsPath) const {
    const fs::path path = host(windowsPath);
    return fs::is_regular_file(path) ? kestrel::test::readFile(path) : "<none>";
}

void SystemFileFixture::makeWindows98() {
    using platform::RegistryRoot;
    ASSERT_EQ(registry().createKey(RegistryRoot::CurrentUser, "Software\\Wine"), 0);
    ASSERT_EQ(registry().setValue(RegistryRoot::CurrentUser, "Software\\Wine", "Version",
                                  platform::RegistryValue::text(platform::kRegSz, "win98")),
              0);
}

bool SystemFileFixture::run(std::optional<PlanStep>& step, Direction direction) {
    return step && PlanRunner(context()).run(*step, direction);
}

::testing::AssertionResult SystemFileFixture::roundTrip(
    std::optional<PlanStep> step, const std::function<void()>& whileInstalled) {
    if (!step) return ::testing::AssertionFailure() << "the section was not read";
    Plan plan;
    plan.steps.push_back(std::move(*step));
    return installAndUninstall(context(), plan, whileInstalled);
}

}  // namespace kestrel::setup::test
