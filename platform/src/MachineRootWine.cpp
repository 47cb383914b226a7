// Windows programs of the machine root run through Wine. Where the registry can go through
// the prefix's server, it does from the first program on, and they share it with us as it is;
// with the hive files, the registry is handed over to Wine before and taken back after.
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
    if (auto through = goThroughServer(); !through) return unexpected(through.error());
    if (!registry_->throughWineServer() && waitForWineServer(kServerEnd) != WineServerWait::Ended) {
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
    registry_->forgetRemembered();  // the program may change them
    if (auto through = goThroughServer(); !through) return unexpected(through.error());
    // Through a server the program must see every value sent to it before it starts.
    if (!registry_->throughWineServer() && wineServerRunning()) return {};
    if (auto saved = registry_->save(); !saved) return unexpected(saved.error().message);
    return {};
}

Expected<void, std::string> MachineRoot::takeRegistryBack() {
    registry_->forgetRemembered();
    if (registry_->throughWineServer()) return {};
    if (waitForWineServer(kServerEnd) != WineServerWait::Ended) {
        return unexpected("the wineserver of " + prefix_.string() + " does not end");
    }
    if (auto reread = registry_->reload(); !reread) return unexpected(reread.error().describe());
    return {};
}

}  // namespace kestrel::platform
