// The client configuration: which directory file the workstation sees and its defaults.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace nw {

// A tree kept by LDAP servers that replicate each other: the servers, tried in this order,
// and the entry that is the tree's [Root] on each.
struct LdapTree {
    std::string name;
    std::vector<std::string> servers;  // "ldap://host:port", "ldaps://[::1]:port"...
    std::string baseDn;
};

struct ClientConfig {
    std::filesystem::path file;       // the configuration file consulted
    std::filesystem::path directory;  // the directory file; empty when none is configured
    // The trees when the directory is an LDAP server (Directory=ldap://... or ldaps://).
    std::vector<LdapTree> ldapTrees;
    bool startTls = false;  // TLS=yes: StartTLS on ldap:// connections
    // PlainBind=yes: passwords may go unencrypted to servers that are not on this machine.
    bool plainBind = false;
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
// folder, or LDAP server URLs separated by blanks), DefaultTree, NameContext, SessionFile
// (default $XDG_STATE_HOME/kestrel/session), TLS, PlainBind, Timeout (seconds); and for LDAP
// servers section [Trees], tree name = URLs with the base DN (or a base DN alone, on the
// Directory servers). The URLs of one tree are servers that replicate each other: those that
// carry a base DN must agree on it. Without [Trees] the Directory URLs' base DN is the one tree,
// named by DefaultTree. A missing file is no error: it configures no directory. A file that
// exists but cannot be read fails with "<file>: cannot read the client configuration:
// <reason>"; an unusable URL names the key.
kestrel::platform::Expected<ClientConfig, kestrel::platform::ParseError> readClientConfig(
    const std::filesystem::path& file);

}  // namespace nw
