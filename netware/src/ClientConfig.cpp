#include "ClientConfig.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "platform/Places.h"
#include "platform/ProfileFunctions.h"

namespace nw {

namespace {

constexpr std::size_t kValueLimit = 4096;

std::string clientValue(const std::filesystem::path& file, const char* key) {
    return kestrel::platform::getProfileString(file, "Client", key, "", kValueLimit);
}

}  // namespace

std::filesystem::path clientConfigPath() {
    const char* explicitPath = std::getenv("NWCLIENT_CONFIG");
    if (explicitPath != nullptr && *explicitPath != '\0') return explicitPath;
    return kestrel::platform::configDir() / "nwclient.ini";
}

kestrel::platform::Expected<ClientConfig, kestrel::platform::ParseError> readClientConfig(
    const std::filesystem::path& file) {
    ClientConfig config;
    config.file = file;
    config.sessionFile = kestrel::platform::stateDir() / "session";
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return config;
    if (!std::ifstream(file)) {
        std::string reason = std::strerror(errno);
        return kestrel::platform::unexpected(kestrel::platform::ParseError{
            file.string(), 0, 0, "cannot read the client configuration: " + reason});
    }
    auto folder = file.parent_path();
    if (auto directory = clientValue(file, "Directory"); !directory.empty())
        config.directory = folder / directory;  // an absolute value replaces the folder
    config.defaultTree = clientValue(file, "DefaultTree");
    config.nameContext = clientValue(file, "NameContext");
    if (auto session = clientValue(file, "SessionFile"); !session.empty())
        config.sessionFile = folder / session;
    return config;
}

}  // namespace nw
