// The first edition's listing under load: a double-click on a container of N workstations
// lists it through 64512-byte replies (at most 500 of them) and inserts every entry into
// the sorted tree.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "ClassicBrowser.h"
#include "DirectoryAccess.h"
#include "nwcalls.h"
#include "nwnet.h"

namespace {

using namespace kestrel::classic;

constexpr const char* kSecretHash =
    "$6$kestreltest$/"
    "tanLLuEl3AKg8pXYM3VA6cawJhT73mqJgsKOSLK4GTDxUKtfyYyQ8kc7ZnUDg1m3owviRqrdMkX1xTNaho.E.";

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
    void endProgram(int) override {}
    int messages = 0;
};

// O=Bench with OU=Pool holding N workstations named WS0, WS1...: directory order is not
// text order (WS10 sorts before WS2), so the tree really sorts.
void useDirectory(int workstations) {
    static std::map<int, std::filesystem::path> made;
    auto& path = made[workstations];
    if (path.empty()) {
        char pattern[] = "/tmp/kestrel-classic-bench-XXXXXX";
        path = mkdtemp(pattern);
        std::ofstream out(path / "directory.json");
        out << "{\"trees\": [{\"name\": \"BENCH_TREE\", \"objects\": [\n"
            << "{\"name\": \"O=Bench\", \"class\": \"Organization\"},\n"
            << "{\"name\": \"CN=Admin.O=Bench\", \"class\": \"User\", \"password\": \""
            << kSecretHash << "\"},\n"
            << "{\"name\": \"OU=Pool.O=Bench\", \"class\": \"Organizational Unit\"}";
        for (int i = 0; i < workstations; ++i)
            out << ",\n{\"name\": \"CN=WS" << i
                << ".OU=Pool.O=Bench\", \"class\": \"Workstation\"}";
        out << "]}]}\n";
        std::ofstream(path / "nwclient.ini")
            << "[Client]\nDirectory=directory.json\nDefaultTree=BENCH_TREE\n";
    }
    setenv("NWCLIENT_CONFIG", (path / "nwclient.ini").c_str(), 1);
    setenv("XDG_STATE_HOME", (path / "state").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (path / "config").c_str(), 1);
    NWCallsInit(nullptr, nullptr);
    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    NWDSSetContext(context, DCK_TREE_NAME, "BENCH_TREE");
    NWDSLogin(context, 0, ".CN=Admin.O=Bench", "secret", 0);
    NWDSFreeContext(context);
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
