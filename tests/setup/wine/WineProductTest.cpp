#include "WineProductTest.h"

#include <cstdlib>

#include "platform/MachineRoot.h"
#include "platform/WineServer.h"
#include "platform/WineTools.h"

namespace kestrel::setup::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path WineProductTest::freshPrefix(const std::string& name) {
    static const fs::path pristine = [] {
        const fs::path prefix = fs::path(std::getenv("HOME")) / "pristine-prefix";
        const auto made = platform::runWineTool({"wineboot", "--init"}, prefix, 300s);
        stopServer(prefix);
        EXPECT_TRUE(made.finished() && made.exitCode == 0) << "wineboot --init on " << prefix;
        const auto ran = platform::runWineTool({"wine", "uninstaller", "--list"}, prefix, 300s);
        stopServer(prefix);
        EXPECT_TRUE(ran.finished()) << "wine uninstaller --list on " << prefix;
        return prefix;
    }();
    const fs::path prefix = work_ / name;
    const std::string copy = "cp -a '" + pristine.string() + "' '" + prefix.string() + "'";
    EXPECT_EQ(std::system(copy.c_str()), 0) << copy;
    stopServerAtEnd(prefix);
    return prefix;
}

MachineSnapshot WineProductTest::snapshot(const fs::path& prefix) {
    EXPECT_EQ(platform::waitForWineServer(prefix, platform::defaultWineServerDirectory(), 60s),
              platform::WineServerWait::Ended);
    auto root = platform::MachineRoot::open(prefix);
    EXPECT_TRUE(root.has_value()) << root.error();
    return std::move(MachineSnapshot::take(**root).withoutWineSessionState());
}

SetupOutcome WineProductTest::setup(const fs::path& prefix,
                                    const std::vector<std::string>& arguments,
                                    const fs::path& directory) {
    return runSetupProgram(prefix, arguments, directory, work_.path());
}

}  // namespace kestrel::setup::test
