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

ClientWorld::ClientWorld() {
    environment().set("NWCLIENT_CONFIG", clientConfig().string());
}

void ClientWorld::enter() {
    IsolatedUser::enter();
    environment().set("NWCLIENT_CONFIG", clientConfig().string());
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
}

void ClientWorld::useSample() {
    writeConfig({.directory = sampleDirectoryFile().string(),
                 .defaultTree = "ACME_TREE",
                 .nameContext = "[Root]"});
}

}  // namespace kestrel::test
