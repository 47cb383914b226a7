#include "program/RunTransaction.h"

#include <string>

namespace kestrel::setup {

namespace {

void sayFailures(Ui& ui, const std::vector<std::string>& failures) {
    for (const std::string& failure : failures)
        ui.note("Setup could not undo a change: " + failure);
}

}  // namespace

void recoverUnfinishedRun(platform::MachineRoot& machine, Ui& ui) {
    if (!platform::ChangeJournal::pending(machine.prefix())) return;
    const auto undone = platform::ChangeJournal::recover(machine.prefix(), machine.registry());
    if (!undone) {
        ui.note("Setup could not undo the unfinished run on this Windows root: " + undone.error());
        return;
    }
    ui.note("Setup: an earlier run on this Windows root did not finish; its " +
            std::to_string(undone.value().undone) + " changes were undone.");
    sayFailures(ui, undone.value().failures);
}

bool beginTransaction(SetupRun& run) {
    SetupSession& session = run.session;
    const RunState& state = session.run();
    const std::string what =
        (state.uninstall ? "uninstall " : "install ") + session.variables().value("ProductName");
    auto journal = platform::ChangeJournal::begin(session.machine().prefix(), what);
    if (!journal) {
        session.messages().ui().note("Setup cannot work on this Windows root: " + journal.error() +
                                     ".");
        return false;
    }
    run.journal = std::move(journal.value());
    return true;
}

void endTransaction(SetupRun& run, bool keep) {
    if (!run.journal) return;
    if (keep && run.journal->failure().empty()) {
        run.journal->commit();
    } else {
        Ui& ui = run.session.messages().ui();
        if (!run.journal->failure().empty()) ui.note("Setup: " + run.journal->failure() + ".");
        sayFailures(ui, run.journal->rollBack(run.session.machine().registry()).failures);
    }
    run.journal.reset();
}

}  // namespace kestrel::setup
