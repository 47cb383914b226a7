#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "ops/OperationContext.h"
#include "plan/Plan.h"

namespace kestrel::setup::test {

// The test every operation owes: snapshot the machine (MachineSnapshot), run the plan's
// installation, let `whileInstalled` check what it did, run the same plan's uninstallation,
// and compare. Fails, saying which run failed or listing every difference, unless both runs
// succeed and the machine is as it was. Name the check, so a failure prints just that:
//     const auto installed = [&] { EXPECT_EQ(...); };
//     EXPECT_TRUE(installAndUninstall(context, plan, installed));
::testing::AssertionResult installAndUninstall(OperationContext& context, Plan& plan,
                                               const std::function<void()>& whileInstalled = {});

}  // namespace kestrel::setup::test
