#include "SetupFixture.h"

namespace kestrel::setup::test {

using platform::RegistryRoot;

SetupFixture::SetupFixture() {
    auto machine = platform::MachineRoot::open(dir_ / "prefix", {"alice", dir_ / "servers"});
    if (!machine) throw std::runtime_error(machine.error());
    machine_ = std::move(machine.value());
}

SetupSession& SetupFixture::load(const std::string& script, bool settings) {
    session_ =
        std::make_unique<SetupSession>(ui_, *machine_, environment_, dir_ / "program", 1700000000);
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

namespace {

void dumpKey(const platform::Registry& registry, RegistryRoot root, const std::string& path,
             std::string& out) {
    std::vector<std::string> names;
    std::vector<std::string> subkeys;
    if (registry.valueNames(root, path, &names) != 0 ||
        registry.subkeyNames(root, path, &subkeys) != 0) {
        return;
    }
    out += "[" + path + "]\n";
    for (const std::string& name : names) {
        platform::RegistryValue value;
        if (registry.queryValue(root, path, name, &value) != 0) continue;
        out += "  " + name + "=" + std::to_string(value.type) + ":" + value.narrowData() + "\n";
    }
    for (const std::string& subkey : subkeys)
        dumpKey(registry, root, path.empty() ? subkey : path + "\\" + subkey, out);
}

}  // namespace

std::string SetupFixture::dump() {
    std::string out;
    dumpKey(registry(), RegistryRoot::LocalMachine, "", out);
    dumpKey(registry(), RegistryRoot::CurrentUser, "", out);
    return out;
}

}  // namespace kestrel::setup::test
