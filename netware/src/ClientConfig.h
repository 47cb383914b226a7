// The client configuration: which directory file the workstation sees and its defaults.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace nw {

// A tree kept by an LDAP server: the server and the entry that is the tree's [Root].
struct LdapTree {
    std::string name;
    std::string server;  // "ldap://host:port" or "ldaps://host:port"
    std::string baseDn;
};

struct ClientConfig {
    std::filesystem::path file;       // the configuration file consulted
    std::filesystem::path directory;  // the directory file; empty when none is configured
    // The trees when the directory is an LDAP server (Directory=ldap://... or ldaps://).
    std::vector<LdapTree> ldapTrees;
    bool startTls = false;    // TLS=yes: StartTLS on ldap:// connections
    int timeoutSeconds = 10;  // Timeout=: how long a server may take to connect or answer
    std::string defaultTree;
    std::string nameContext;
    std::filesystem::path sessionFile;
};

// The file named by NWCLIENT_CONFIG, else $XDG_CONFIG_HOME/kestrel/nwclient.ini.
std::filesystem::path clientConfigPath();

// Whether a Directory value names an LDAP server rather than a file.
bool isLdapUrl(std::string_view value);

// Reads section [Client]: Directory (a directory file relative to the configuration file's
// folder, or an LDAP server URL), DefaultTree, NameContext, SessionFile (default
// $XDG_STATE_HOME/kestrel/session), TLS, Timeout (seconds); and for an LDAP server section [Trees],
// tree name = URL with the base DN (or a base DN alone, on the Directory server). Without [Trees]
// the Directory URL's base DN is the one tree, named by DefaultTree. A missing file is no error: it
// configures no directory. A file that exists but cannot be read fails with "<file>: cannot read
// the client configuration: <reason>"; an unusable URL names the key.
kestrel::platform::Expected<ClientConfig, kestrel::platform::ParseError> readClientConfig(
    const std::filesystem::path& file);

}  // namespace nw
