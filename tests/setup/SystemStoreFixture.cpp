#include "SystemStoreFixture.h"

#include "MachineSnapshot.h"

namespace kestrel::setup::test {

void SystemStoreFixture::loadScript(const std::string& script) {
    load(script);
    // Every user's hive has it; the operations keep it when they tidy up.
    ASSERT_EQ(session_->registry().createKey(platform::RegistryRoot::CurrentUser, "Software"), 0);
    progress_ = std::make_unique<ProgressWindow>(context().messages, context().run);
    services_ = std::make_unique<SystemServices>(SystemServices{context(), programs_, *progress_});
}

::testing::AssertionResult SystemStoreFixture::roundTrip(
    const std::function<bool(Direction)>& operation, const std::function<void()>& whileInstalled) {
    const MachineSnapshot before = MachineSnapshot::take(*machine_);
    if (!operation(Direction::Install)) return ::testing::AssertionFailure() << "install failed";
    if (whileInstalled) whileInstalled();
    if (!operation(Direction::Uninstall))
        return ::testing::AssertionFailure() << "uninstall failed";
    const std::string differences = before.differencesTo(MachineSnapshot::take(*machine_));
    if (!differences.empty())
        return ::testing::AssertionFailure() << "the root changed:\n" << differences;
    return ::testing::AssertionSuccess();
}

}  // namespace kestrel::setup::test
