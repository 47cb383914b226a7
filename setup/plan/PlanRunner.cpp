#include "plan/PlanRunner.h"

#include "messages/MessageStrings.h"
#include "plan/SectionUsage.h"

namespace kestrel::setup {

namespace {

// The window title while a step runs; restored however the step ends.
class TitleScope {
  public:
    TitleScope(OperationContext& context, std::string title)
        : context_(context), previous_(context.title) {
        context_.setTitle(std::move(title));
    }
    ~TitleScope() { context_.setTitle(previous_); }
    TitleScope(const TitleScope&) = delete;
    TitleScope& operator=(const TitleScope&) = delete;

  private:
    OperationContext& context_;
    std::string previous_;
};

}  // namespace

bool PlanRunner::run(Plan& plan, Direction direction) {
    const std::size_t count = plan.steps.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!run(plan.steps[direction == Direction::Install ? i : count - 1 - i], direction)) {
            return false;
        }
    }
    return true;
}

bool PlanRunner::run(PlanStep& step, Direction direction) {
    if (step.countsUsage) {
        SectionUsage usage(context_);
        if (direction == Direction::Install) {
            usage.countInstall(step.section);
        } else if (!usage.countUninstall(step.section)) {
            return save(direction);  // still used elsewhere: only the count changes
        }
    }
    TitleScope title(context_, step.title);
    context_.ui().setProgressText(context_.script.displayName(), step.section);
    const bool ok = runOperations(step.operations, direction);
    return save(direction) && ok;
}

bool PlanRunner::runOperations(OperationList& operations, Direction direction) {
    const std::size_t count = operations.size();
    for (std::size_t i = 0; i < count; ++i) {
        Operation& operation = *operations[direction == Direction::Install ? i : count - 1 - i];
        if (context_.ui().cancelRequested()) {
            context_.run.abort = true;
            return false;
        }
        if (!operation.run(context_, direction)) return false;
    }
    return true;
}

// The changes reach the hive files here; a failure to write them is never silent.
bool PlanRunner::save(Direction direction) {
    if (!waitForWine()) return false;
    const auto saved = context_.registry.save();
    if (saved) return true;
    const int message =
        direction == Direction::Install ? messages::kCannotCreateKey : messages::kCannotDeleteKey;
    return context_.messages.show(message, {saved.error().message, saved.error().code}) ==
           buttons::kIgnore;
}

// Only the hive files wait: a server that is the registry has every change already.
bool PlanRunner::waitForWine() {
    const platform::MachineRoot& machine = context_.registry.machine();
    if (machine.registry().throughWineServer() || !machine.wineServerRunning()) return true;
    context_.ui().setProgressText(context_.script.displayName(),
                                  "Waiting for Wine to end (wineserver -w)");
    const auto waited =
        machine.waitForWineServer(serverWait_, [this] { return context_.ui().cancelRequested(); });
    if (waited != platform::WineServerWait::Cancelled) return true;
    context_.run.abort = true;
    return false;
}

}  // namespace kestrel::setup
