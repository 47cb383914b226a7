#include "ClientConfig.h"

#include "nwdstype.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>

#include <ldap.h>

#include "platform/AsciiCase.h"
#include "platform/Places.h"
#include "platform/ProfileFunctions.h"

namespace nw {

namespace {

constexpr std::size_t kValueLimit = 4096;

using ConfigResult = kestrel::platform::Expected<ClientConfig, kestrel::platform::ParseError>;

std::string clientValue(const std::filesystem::path& file, std::string_view section,
                        std::string_view key) {
    return kestrel::platform::getProfileString(file, section, key, "", kValueLimit);
}

// Splits an LDAP URL into the server ("scheme://host:port", an IPv6 host in brackets) and
// its base DN (URL escapes removed); nothing when it is no LDAP URL or carries more than a
// base DN.
std::optional<LdapTree> parseServerUrl(const std::string& url) {
    LDAPURLDesc* parts = nullptr;
    if (!isLdapUrl(url) || ldap_url_parse(url.c_str(), &parts) != LDAP_URL_SUCCESS)
        return std::nullopt;
    std::optional<LdapTree> tree;
    // Attributes, scope, filter or extensions have no meaning for a tree: refused rather
    // than silently ignored.
    bool plain = parts->lud_host != nullptr && *parts->lud_host != '\0' &&
                 parts->lud_attrs == nullptr && parts->lud_filter == nullptr &&
                 parts->lud_exts == nullptr && parts->lud_scope == LDAP_SCOPE_BASE;
    if (plain) {
        tree = LdapTree{};
        std::string host = parts->lud_host;
        if (host.find(':') != std::string::npos) host = "[" + host + "]";
        tree->servers.push_back(std::string(parts->lud_scheme) + "://" + host + ":" +
                                std::to_string(parts->lud_port));
        if (parts->lud_dn != nullptr) tree->baseDn = parts->lud_dn;
    }
    ldap_free_urldesc(parts);
    return tree;
}

// A blank-separated list of URLs: the servers of one tree, in the order they are tried. The
// base DN is the one those that carry it agree on.
std::optional<LdapTree> parseServerList(const std::string& urls, std::string* why) {
    LdapTree tree;
    std::size_t at = 0;
    while ((at = urls.find_first_not_of(" \t", at)) != std::string::npos) {
        std::size_t end = std::min(urls.find_first_of(" \t", at), urls.size());
        auto one = parseServerUrl(urls.substr(at, end - at));
        at = end;
        if (!one) {
            *why = "not a usable LDAP URL";
            return std::nullopt;
        }
        if (!one->baseDn.empty() && !tree.baseDn.empty() && one->baseDn != tree.baseDn) {
            *why = "the servers of one tree name different base DNs";
            return std::nullopt;
        }
        if (!one->baseDn.empty()) tree.baseDn = one->baseDn;
        tree.servers.push_back(one->servers.front());
    }
    if (tree.servers.empty()) *why = "not a usable LDAP URL";
    return tree.servers.empty() ? std::nullopt : std::optional<LdapTree>(tree);
}

kestrel::platform::ParseError badValue(const std::filesystem::path& file, std::string_view key,
                                       const std::string& value, std::string_view why) {
    return kestrel::platform::ParseError{file.string(), 0, 0,
                                         std::string(key) + "=" + value + ": " + std::string(why)};
}

// [Trees] (or the Directory URL alone) into the configuration's LDAP trees.
std::optional<kestrel::platform::ParseError> readLdapTrees(const std::filesystem::path& file,
                                                           const std::string& directory,
                                                           ClientConfig& config) {
    std::string why;
    auto server = parseServerList(directory, &why);
    if (!server) return badValue(file, "Directory", directory, why);
    auto names = kestrel::platform::getProfileKeys(file, "Trees");
    if (names.empty()) {
        if (config.defaultTree.empty() || server->baseDn.empty())
            return badValue(file, "Directory", directory,
                            "without a [Trees] section the URL needs a base DN and DefaultTree "
                            "the tree's name");
        server->name = config.defaultTree;
        config.ldapTrees.push_back(*server);
        return std::nullopt;
    }
    for (const std::string& name : names) {
        std::string value = clientValue(file, "Trees", name);
        std::optional<LdapTree> tree;
        why = "not an LDAP URL with a base DN";
        if (isLdapUrl(value))
            tree = parseServerList(value, &why);
        else if (!value.empty())
            tree = LdapTree{name, server->servers, value};  // a base DN on the Directory servers
        if (tree && tree->baseDn.empty()) why = "not an LDAP URL with a base DN";
        if (!tree || tree->baseDn.empty() || name.size() > MAX_TREE_NAME_CHARS)
            return badValue(file, name, value, why);
        tree->name = name;
        config.ldapTrees.push_back(*tree);
    }
    return std::nullopt;
}

}  // namespace

bool isLdapUrl(std::string_view value) {
    using kestrel::platform::asciiLower;
    std::string lower = asciiLower(value.substr(0, 8));
    return lower.starts_with("ldap://") || lower.starts_with("ldaps://");
}

std::filesystem::path clientConfigPath() {
    const char* explicitPath = std::getenv("NWCLIENT_CONFIG");
    if (explicitPath != nullptr && *explicitPath != '\0') return explicitPath;
    return kestrel::platform::configDir() / "nwclient.ini";
}

ConfigResult readClientConfig(const std::filesystem::path& file) {
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
    config.defaultTree = clientValue(file, "Client", "DefaultTree");
    config.nameContext = clientValue(file, "Client", "NameContext");
    if (auto session = clientValue(file, "Client", "SessionFile"); !session.empty())
        config.sessionFile = folder / session;
    std::string directory = clientValue(file, "Client", "Directory");
    if (isLdapUrl(directory)) {
        config.startTls =
            kestrel::platform::equalsIgnoreAsciiCase(clientValue(file, "Client", "TLS"), "yes");
        config.plainBind = kestrel::platform::equalsIgnoreAsciiCase(
            clientValue(file, "Client", "PlainBind"), "yes");
        unsigned timeout = kestrel::platform::getProfileInt(file, "Client", "Timeout", 10);
        config.timeoutSeconds = static_cast<int>(std::clamp(timeout, 1u, 3600u));
        if (auto error = readLdapTrees(file, directory, config))
            return kestrel::platform::unexpected(*error);
    } else if (!directory.empty()) {
        config.directory = folder / directory;  // an absolute value replaces the folder
    }
    return config;
}

}  // namespace nw
