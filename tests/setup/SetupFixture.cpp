#include "SetupFixture.h"

namespace kestrel::setup::test {

using platform::RegistryRoot;

SetupFixture::SetupFixture(platform::WindowsArchitecture architecture) {
    auto machine = platform::MachineRoot::open(
        dir_ / "prefix", {"alice", dir_ / "servers", platform::NewRoot::Skeleton, architecture});
    if (!machine) throw std::runtime_error(machine.error());
    machine_ = std::move(machine.value());
}

SetupSession& SetupFixture::load(const std::string& script, bool settings,
                                 const std::vector<std::string>& commandLine) {
    session_.reset();
    root_ = std::make_unique<LazyMachineRoot>(*machine_);  // a test may have opened another
    session_ =
        std::make_unique<SetupSession>(ui_, *root_, environment_, dir_ / "program", 1700000000);
    EXPECT_TRUE(session_->parseCommandLine(commandLine));
    session_->useScript(ScriptText::fromText(script, "C:\\setup\\Setup.inf"),
                        "C:\\setup\\Setup.inf");
    if (settings) {
        EXPECT_TRUE(session_->readSettings()) << "messages: " << ui_.shown.size();
    }
    return *session_;
}

std::string SetupFixture::value(RegistryRoot root, std::string_view key, std::string_view name) {
    std::string text;
    if (session_->registry().readText(root, key, name, &text) != 0) return "<none>";
    return text;
}

}  // namespace kestrel::setup::test
