// The first edition's listing under load: a double-click on a container of N workstations
// lists it through 64512-byte replies (at most 500 of them) and inserts every entry into
// the sorted tree.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "BenchDirectory.h"
#include "ClassicBrowser.h"
#include "DirectoryAccess.h"
#include "nwcalls.h"
#include "nwnet.h"

namespace {

using namespace kestrel::classic;

// Answers nothing and counts the messages, so that the cap's message does not block.
class SilentUi : public Ui {
  public:
    void showMessage(const std::string&) override { ++messages; }
    bool askYesNo(const std::string&) override { return false; }
    void beep() override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    std::optional<std::string> askNewContext(const std::string&) override { return {}; }
    bool confirmSaveContext(const std::string&) override { return false; }
    void showWorkstationInfo(const WorkstationInfo&) override {}
    int messages = 0;
};

// N workstations named WS0, WS1...: directory order is not text order (WS10 sorts before
// WS2), so the tree really sorts.
void useDirectory(int workstations) {
    static std::map<int, std::unique_ptr<kestrel::bench::BenchDirectory>> made;
    auto& directory = made[workstations];
    if (!directory)
        directory = std::make_unique<kestrel::bench::BenchDirectory>(
            kestrel::bench::numberedWorkstations(workstations));
    directory->use();
    kestrel::bench::loginAsBenchAdmin();
}

void listContainer(benchmark::State& state) {
    useDirectory(static_cast<int>(state.range(0)));
    SilentUi ui;
    DirectoryAccess directory(ui);
    std::size_t items = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ClassicBrowser browser(ui, directory, {});
        browser.start("OU=Pool.O=Bench");
        state.ResumeTiming();
        browser.activate(browser.tree().top());
        items = browser.tree().size() - 1;
    }
    state.counters["items"] = static_cast<double>(items);
    state.counters["capped"] = ui.messages > 0 ? 1 : 0;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
}

}  // namespace

BENCHMARK(listContainer)->Arg(10000)->Arg(100000)->Arg(800000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
