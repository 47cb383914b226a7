// Sleep and WaitUntilFileExists: waits in 100 ms steps that keep the windows alive and let
// the person cancel the installation.
#include <chrono>
#include <filesystem>
#include <thread>

#include "commands/ActionHandlers.h"
#include "script/Fields.h"

namespace kestrel::setup::commands {

namespace {

constexpr std::chrono::milliseconds kStep{100};

}  // namespace

bool sleepFor(CommandCall& call, ActionServices& services) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(readNumber(call.line.arguments[0]));
    for (auto now = std::chrono::steady_clock::now(); now < deadline;
         now = std::chrono::steady_clock::now()) {
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kStep, deadline - now));
        if (services.progress.poll()) return false;
    }
    return true;
}

bool waitUntilFileExists(CommandCall& call, ActionServices& services) {
    const auto host =
        call.context.registry.machine().hostPath(call.state.absolutePath(call.line.arguments[0]));
    std::error_code error;
    while (!(host && std::filesystem::exists(*host, error))) {
        if (services.progress.poll()) return false;
        std::this_thread::sleep_for(kStep);
    }
    return true;
}

}  // namespace kestrel::setup::commands
