// The client configuration: which directory file the workstation sees and its defaults.
#pragma once

#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace nw {

struct ClientConfig {
    std::filesystem::path file;       // the configuration file consulted
    std::filesystem::path directory;  // the directory file; empty when none is configured
    std::string defaultTree;
    std::string nameContext;
    std::filesystem::path sessionFile;
};

// The file named by NWCLIENT_CONFIG, else $XDG_CONFIG_HOME/kestrel/nwclient.ini.
std::filesystem::path clientConfigPath();

// Reads section [Client]: Directory (relative to the configuration file's folder),
// DefaultTree, NameContext, SessionFile (default $XDG_STATE_HOME/kestrel/session). A missing
// file is no error: it configures no directory. A file that exists but cannot be read fails
// with "<file>: cannot read the client configuration: <reason>".
kestrel::platform::Expected<ClientConfig, kestrel::platform::ParseError> readClientConfig(
    const std::filesystem::path& file);

}  // namespace nw
