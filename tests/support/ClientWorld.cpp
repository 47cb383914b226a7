#include "ClientWorld.h"

namespace kestrel::test {

namespace fs = std::filesystem;

std::string ClientConfig::text() const {
    std::string text = "[Client]" + lineEnd;
    const auto add = [&](std::string_view key, const std::string& value) {
        if (!value.empty()) text += std::string(key) + "=" + value + lineEnd;
    };
    add("Directory", directory);
    add("DefaultTree", defaultTree);
    add("NameContext", nameContext);
    add("SessionFile", sessionFile);
    return text;
}

fs::path sampleDirectoryFile() {
    return fs::path(KESTREL_SOURCE_DIR) / "examples/directory/sample.json";
}

fs::path sampleClientConfig() {
    return fs::path(KESTREL_SOURCE_DIR) / "examples/directory/nwclient.ini";
}

ClientWorld::ClientWorld() {
    pointClientAt(clientConfig());
}

void ClientWorld::enter() {
    IsolatedUser::enter();
    pointClientAt(config_);
}

void ClientWorld::pointClientAt(const fs::path& config) {
    config_ = config;
    environment().set("NWCLIENT_CONFIG", config_.string());
}

void ClientWorld::useDirectory(const DirectoryBuilder& directory, const ClientConfig& config) {
    useDirectoryText(directory.text(), config);
}

void ClientWorld::useDirectoryText(std::string_view text, const ClientConfig& config) {
    writeFile(directoryFile(), text);
    writeConfig(config);
}

void ClientWorld::writeConfig(const ClientConfig& config) {
    writeFile(clientConfig(), config.text());
    if (config_ != clientConfig()) pointClientAt(clientConfig());
}

void ClientWorld::useSample() {
    pointClientAt(sampleClientConfig());
}

}  // namespace kestrel::test
