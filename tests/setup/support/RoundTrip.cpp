#include "RoundTrip.h"

#include "MachineSnapshot.h"
#include "plan/PlanRunner.h"

namespace kestrel::setup::test {

::testing::AssertionResult installAndUninstall(OperationContext& context, Plan& plan,
                                               const std::function<void()>& whileInstalled) {
    const platform::MachineRoot& machine = context.registry.machine();
    const MachineSnapshot before = MachineSnapshot::take(machine);
    PlanRunner runner(context);
    if (!runner.run(plan, Direction::Install)) {
        return ::testing::AssertionFailure() << "the installation failed";
    }
    if (whileInstalled) whileInstalled();
    if (!runner.run(plan, Direction::Uninstall)) {
        return ::testing::AssertionFailure() << "the uninstallation failed";
    }
    const std::string differences = before.differencesTo(MachineSnapshot::take(machine));
    if (!differences.empty()) {
        return ::testing::AssertionFailure() << "the machine differs after the uninstallation:\n"
                                             << differences;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kestrel::setup::test
