// The installer's bulk work: reading a large script, expanding many variable references,
// saving a large registry hive.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/MachineRoot.h"
#include "program/SetupSession.h"
#include "ui/ConsoleUi.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrel;

fs::path makeTempDir() {
    std::string pattern = (fs::temp_directory_path() / "setup-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    return pattern;
}

// About 1 MB: components with file lines, registry sections, string sections.
std::string largeScript() {
    std::string text =
        "[Setup]\r\nVersion=5.11\r\n[Application]\r\nProductName=Bench\r\n"
        "ApplicationDir=%ProgramFilesDir%\\Bench\r\n[Strings]\r\n";
    for (int i = 0; text.size() < 100000; ++i)
        text += "Text" + std::to_string(i) + "=String number " + std::to_string(i) + "\r\n";
    for (int section = 0; text.size() < 1000000; ++section) {
        text += "[Component" + std::to_string(section) + "]\r\n";
        for (int line = 0; line < 40; ++line) {
            text += "1:files\\c" + std::to_string(section) + "\\f" + std::to_string(line) +
                    ".dll,%App%\\bin\\f" + std::to_string(line) +
                    ".dll,SHAREDDLL|REGISTER,12345\r\n";
        }
        text += "[Component" + std::to_string(section) + ".reg]\r\nHKLM\\Software\\Bench\\C" +
                std::to_string(section) + ":Path=%App%\r\n";
    }
    return text;
}

struct Root {
    Root()
        : dir(makeTempDir()),
          machine(std::move(
              platform::MachineRoot::open(dir / "prefix", {"bench", dir / "srv"}).value())) {}
    ~Root() { fs::remove_all(dir); }
    fs::path dir;
    std::unique_ptr<platform::MachineRoot> machine;
};

void BM_LoadScript1MB(benchmark::State& state) {
    Root root;
    const std::string text = largeScript();
    std::ofstream(root.dir / "Setup.inf", std::ios::binary) << text;
    setup::ConsoleUi ui(std::cerr);  // a message here means the run went wrong
    setup::MemoryEnvironment environment;
    std::size_t lines = 0;
    setup::LazyMachineRoot machine(*root.machine);
    for (auto _ : state) {
        setup::SetupSession session(ui, machine, environment, {});
        if (!session.parseCommandLine({(root.dir / "Setup.inf").string()}))
            state.SkipWithError("command line failed");
        if (!session.loadScript(root.dir) || !session.readSettings())
            state.SkipWithError("load failed");
        // Every section is found and read once, as a full installation would.
        lines = 0;
        for (int section = 0; session.script().hasSection("Component" + std::to_string(section));
             ++section) {
            lines +=
                session.script().sectionLines("Component" + std::to_string(section), 256).size();
        }
        benchmark::DoNotOptimize(lines);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_LoadScript1MB)->Unit(benchmark::kMillisecond);

void BM_Expand100kReferences(benchmark::State& state) {
    Root root;
    setup::ConsoleUi ui(std::cerr);  // a message here means the run went wrong
    setup::MemoryEnvironment environment;
    environment.set("COMPONENT", "Tools");
    setup::LazyMachineRoot machine(*root.machine);
    setup::SetupSession session(ui, machine, environment, {});
    session.useScript(setup::ScriptText::fromText(
                          "[Setup]\nVersion=5.11\n[Application]\nApplicationDir=C:\\Bench\n", "x"),
                      "C:\\x\\Setup.inf");
    session.readSettings();
    const setup::Expander expander = session.expander();
    // A tenth of the references go to the registry, the rest to variables and the environment.
    const std::string lines[] = {
        "%App%\\bin\\%Component%.dll %Windows%", "%;Data%%App\\%readme.txt %System%",
        "%HKLM\\Software\\Microsoft\\Windows\\CurrentVersion:ProgramFilesDir%"};
    for (auto _ : state) {
        std::size_t total = 0;
        for (int i = 0; i < 15000; ++i) {
            total += expander.expand(lines[0]).size() + expander.expand(lines[1]).size();
        }
        for (int i = 0; i < 10000; ++i) total += expander.expand(lines[2]).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["references"] = 100000;
}
BENCHMARK(BM_Expand100kReferences)->Unit(benchmark::kMillisecond);

void BM_SaveHive100kValues(benchmark::State& state) {
    Root root;
    platform::Registry& registry = root.machine->registry();
    long error = 0;
    for (int key = 0; key < 1000 && error == 0; ++key) {
        const std::string path = "Software\\Bench\\Key" + std::to_string(key);
        error = registry.createKey(platform::RegistryRoot::LocalMachine, path);
        for (int value = 0; value < 100 && error == 0; ++value) {
            error = registry.setValue(
                platform::RegistryRoot::LocalMachine, path, "Value" + std::to_string(value),
                value % 2 ? platform::RegistryValue::dword(static_cast<std::uint32_t>(value))
                          : platform::RegistryValue::text(1, "C:\\Program Files\\Bench\\file.dll"));
        }
    }
    if (error != 0) {
        state.SkipWithError(("cannot fill the hive: error " + std::to_string(error)).c_str());
        return;
    }
    if (auto saved = registry.save(); !saved) {
        state.SkipWithError(saved.error().message.c_str());
        return;
    }
    int round = 0;
    for (auto _ : state) {
        error = registry.setValue(
            platform::RegistryRoot::LocalMachine, "Software\\Bench\\Key0", "Round",
            platform::RegistryValue::dword(static_cast<std::uint32_t>(++round)));
        auto saved = registry.save();
        if (error != 0 || !saved) {
            state.SkipWithError(saved ? "cannot set the value" : saved.error().message.c_str());
            break;
        }
    }
    state.counters["bytes"] =
        static_cast<double>(fs::file_size(root.machine->prefix() / "system.reg"));
}
BENCHMARK(BM_SaveHive100kValues)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
