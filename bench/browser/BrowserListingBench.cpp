// Listing one container of N workstations into the browser's tree: through the client
// (4096-byte replies), sorted insertion into the core's model, and the same with the Qt
// tree widget following the model. The directory returns the names in shuffled order.
// Also the workstation search over the same container, which ends in listing it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <numeric>
#include <random>

#include "BenchDirectory.h"
#include "MainWindow.h"
#include "window/BrowserController.h"
#include "window/DialogStates.h"
#include "workstation/DesktopShortcut.h"
#include "workstation/WorkstationDetails.h"

namespace {

using namespace kestrel::browser;

class QuietUi : public Ui {
  public:
    void showMessage(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    bool askYesNo(const std::string&) override { return true; }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    bool runLoginDialog(LoginDialogState&) override { return false; }
    InventoryServerAnswer runInventoryServerDialog(InventoryServerDialogState&) override {
        return InventoryServerAnswer::Cancel;
    }
    bool runSaveContextDialog(SaveContextDialogState&) override { return false; }
    bool runChangeContextDialog(ChangeContextDialogState&) override { return false; }
    bool runShortcutDialog(ShortcutDialogState&) override { return false; }
    bool runSearchDialog(SearchDialogState& dialog) override {
        dialog.pattern = searchPattern;
        return true;
    }
    bool runTreeDialog(TreeDialogState&) override { return false; }
    void showWorkstationInfo(const WorkstationInfo&) override {}
    void showWorkstationInventory(const WorkstationInventory&) override {}
    void showHelp(const std::string&) override {}
    void showAbout(const std::string&) override {}

    std::string searchPattern;
};

// N workstations in shuffled order (mixed case, so the sort has real work), written once per
// size and removed when the run ends.
std::map<int, std::unique_ptr<kestrel::bench::BenchDirectory>> made;

void useDirectory(int workstations) {
    auto& directory = made[workstations];
    if (!directory) {
        std::vector<int> order(static_cast<std::size_t>(workstations));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), std::mt19937(7));
        std::vector<kestrel::bench::BenchWorkstation> pool;
        for (int i : order) pool.push_back({(i % 3 == 0 ? "ws" : "WS") + std::to_string(i), {}});
        directory = std::make_unique<kestrel::bench::BenchDirectory>(pool);
    }
    directory->use();
}

struct Browser {
    explicit Browser(int workstations) {
        useDirectory(workstations);
        app.startContext = "OU=Pool.O=Bench";
        controller = std::make_unique<BrowserController>(app, ui, SettingsFile());
        controller->access().Login("BENCH_TREE", "CN=Admin.O=Bench", "secret");
    }
    QuietUi ui;
    CKestrelscopeApp app;
    std::unique_ptr<BrowserController> controller;
};

void report(benchmark::State& state, const BrowserController& controller) {
    const TreeItem* top = controller.tree().top();
    auto listed = top != nullptr ? top->childCount() : 0;
    if (listed != static_cast<std::size_t>(state.range(0)))
        state.SkipWithError("listing incomplete");
    state.counters["items"] = static_cast<double>(listed);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * listed));
}

// Goto Start Context: open the container and list it into the core's tree.
void listIntoModel(benchmark::State& state) {
    Browser browser(static_cast<int>(state.range(0)));
    browser.controller->setUp();
    for (auto _ : state) browser.controller->gotoStartContext();
    report(state, *browser.controller);
}

// The same with the main window's tree widget following every change, and the window drawn.
void listIntoWindow(benchmark::State& state) {
    Browser browser(static_cast<int>(state.range(0)));
    qt::MainWindow window(*browser.controller);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        browser.controller->gotoStartContext();
        QApplication::processEvents();
    }
    report(state, *browser.controller);
}

// Search Workstation Object from O=Bench for the one workstation whose name holds the
// pattern: the whole subtree is searched, then the tree re-rooted at OU=Pool and listed.
void searchAndReroot(benchmark::State& state) {
    Browser browser(static_cast<int>(state.range(0)));
    browser.app.startContext = "O=Bench";
    browser.controller->setUp();
    browser.ui.searchPattern = "WS" + std::to_string(state.range(0) - 1);
    for (auto _ : state) {
        state.PauseTiming();
        browser.controller->gotoStartContext();  // O=Bench selected again
        state.ResumeTiming();
        browser.controller->searchWorkstation();
    }
    const TreeItem* selected = browser.controller->tree().selected();
    if (selected == nullptr || selected->text() != browser.ui.searchPattern)
        state.SkipWithError("workstation not found");
    report(state, *browser.controller);
}

BENCHMARK(listIntoModel)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(listIntoWindow)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(searchAndReroot)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    made.clear();
    return 0;
}
