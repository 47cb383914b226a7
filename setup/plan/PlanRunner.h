#pragma once

#include <chrono>

#include "ops/OperationContext.h"
#include "plan/Plan.h"

namespace kestrel::setup {

// Runs plan steps, whatever kind of section they came from. For each step: the section's
// usage count, the step's title as the window title (the previous one back afterwards), the
// section as the progress text, the operations (first to last when installing, last to
// first when uninstalling; the person's Cancel, asked before each, sets the abort flag and
// stops), and then the step's save point, where the registry's changes reach the hive files.
// A save that fails shows 5518 (installing) or 5519 (uninstalling); Ignore goes on. No hive
// is written while a wineserver runs for the root (it would write its own copy over ours
// when it ends): the save point waits for it, saying so in the progress window, at most
// `serverWait`; Cancel meanwhile aborts the run, a server still there makes the save fail.
class PlanRunner {
  public:
    static constexpr std::chrono::milliseconds kServerWait = std::chrono::minutes(2);

    explicit PlanRunner(OperationContext& context,
                        std::chrono::milliseconds serverWait = kServerWait)
        : context_(context), serverWait_(serverWait) {}

    // Installation runs the steps first to last, uninstallation last to first; the first
    // step that fails ends the run. false when one failed.
    bool run(Plan& plan, Direction direction);
    // false when an operation or the save failed or the run was cancelled.
    bool run(PlanStep& step, Direction direction);
    // The registry's changes to the hive files, as after each step (the installation's
    // records use it too). false when they could not be written and the person did not
    // ignore it.
    bool save(Direction direction);

  private:
    bool runOperations(OperationList& operations, Direction direction);
    bool waitForWine();

    OperationContext& context_;
    std::chrono::milliseconds serverWait_;
};

}  // namespace kestrel::setup
