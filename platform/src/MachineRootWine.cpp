// Windows programs of the machine root run through Wine, with the registry handed over to
// Wine before and taken back after.
#include "platform/MachineRoot.h"
#include "platform/WineTools.h"

namespace kestrel::platform {

namespace {

using namespace std::chrono_literals;

// How long a server may stay after its last program (Wine's own delay is about 3 s).
constexpr auto kServerEnd = 1min;

}  // namespace

Expected<int, std::string> MachineRoot::runThroughWine(const std::vector<std::string>& arguments,
                                                       std::chrono::milliseconds timeout) {
    if (!wineInstalled()) return unexpected(std::string("Wine is not installed"));
    if (waitForWineServer(kServerEnd) != WineServerWait::Ended) {
        return unexpected("a wineserver keeps running for " + prefix_.string());
    }
    if (auto saved = handRegistryToWine(); !saved) return unexpected(saved.error());

    std::vector<std::string> argv{"wine"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const WineToolResult ran = runWineTool(argv, prefix_, timeout);
    // Whatever became of the program, its server holds the registry until it ends.
    if (auto taken = takeRegistryBack(); !taken) return unexpected(taken.error());
    if (!ran.finished()) {
        return unexpected(std::string(ran.outcome == WineToolResult::Outcome::TimedOut
                                          ? "the program did not end in time"
                                          : "wine could not be started"));
    }
    return ran.exitCode;
}

Expected<void, std::string> MachineRoot::handRegistryToWine() {
    if (wineServerRunning()) return {};
    if (auto saved = registry_->save(); !saved) return unexpected(saved.error().message);
    return {};
}

Expected<void, std::string> MachineRoot::takeRegistryBack() {
    if (waitForWineServer(kServerEnd) != WineServerWait::Ended) {
        return unexpected("the wineserver of " + prefix_.string() + " does not end");
    }
    const std::string currentUser = registry_->currentUser();
    auto reread = Registry::open(prefix_, serverDirectory_);
    if (!reread) return unexpected(reread.error().describe());
    registry_ = std::move(reread.value());
    registry_->setCurrentUser(currentUser);
    return {};
}

}  // namespace kestrel::platform
