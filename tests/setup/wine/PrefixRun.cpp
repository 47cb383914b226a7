#include "PrefixRun.h"

namespace kestrel::setup::test {

::testing::AssertionResult PrefixRun::start(const std::filesystem::path& prefix,
                                            const std::string& script) {
    auto root = platform::MachineRoot::open(prefix, {"alice", {}});
    if (!root) return ::testing::AssertionFailure() << root.error();
    root_ = std::move(root.value());
    machine_.emplace(*root_);
    session_ = std::make_unique<SetupSession>(ui, *machine_, environment_, std::filesystem::path());
    session_->useScript(ScriptText::fromText(script, "C:\\setup\\Setup.inf"),
                        "C:\\setup\\Setup.inf");
    if (!session_->readSettings()) {
        return ::testing::AssertionFailure()
               << "the settings could not be read; messages: " << ui.shown.size();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace kestrel::setup::test
