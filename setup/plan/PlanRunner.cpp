#include "plan/PlanRunner.h"

#include "messages/MessageStrings.h"
#include "plan/SectionUsage.h"
#include "platform/ChangeJournal.h"

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
    if (step.countsUsage && !context_.run.commandList) {
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
            context_.run.abort = context_.run.cancelled = true;
            return false;
        }
        const bool done = operation.run(context_, direction);
        // A change that could not be written down first cannot be undone: nothing more may
        // be changed.
        if (const platform::ChangeJournal* journal = platform::activeJournal();
            journal && !journal->failure().empty()) {
            context_.run.abort = true;
            return false;
        }
        if (done) continue;
        // An uninstallation takes away all it can: a line that fails is noted, and the run
        // fails at its end, unless the person cancelled it.
        if (direction == Direction::Install || context_.run.cancelled ||
            context_.messages.unanswered())
            return false;
        context_.run.notUndone.push_back(context_.messages.lastText());
        context_.run.abort = false;
    }
    return true;
}

// The changes reach the hive files here; a failure to write them is never silent.
bool PlanRunner::save(Direction direction) {
    if (platform::ChangeJournal* journal = platform::activeJournal()) journal->sync();
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
    context_.run.abort = context_.run.cancelled = true;
    return false;
}

}  // namespace kestrel::setup
