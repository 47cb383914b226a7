// One connection to an LDAP server through libldap: opened with time-outs so that a dead
// server never hangs a program, StartTLS when asked, a simple bind, and searches a page at a
// time (RFC 2696 paged results), the next page asked for while the caller takes this one.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Expected.h"

struct ldap;

namespace nw {

struct LdapError {
    int code = 0;          // the LDAP result code (negative: the client library's own)
    std::string message;   // what went wrong, for a person
    std::string server{};  // the server that said so, where the message does not name it
};

struct LdapEntry {
    std::string dn;
    std::vector<std::pair<std::string, std::vector<std::string>>> attributes;
};

struct LdapPage {
    std::vector<LdapEntry> entries;
    std::string cookie;  // empty: the search is complete
};

struct LdapServer {
    std::string url;  // "ldap://host:port" or "ldaps://host:port"
    bool startTls = false;
    int timeoutSeconds = 10;
    bool plainBind = false;  // a password may go unencrypted to another machine
};

class LdapConnection {
  public:
    using Opened = kestrel::platform::Expected<std::unique_ptr<LdapConnection>, LdapError>;
    // Connects and binds as `dn` with `password` (anonymously when dn is empty). A password
    // goes unencrypted only to this machine or where plainBind allows it; otherwise nothing is
    // sent and the error (LDAP_CONFIDENTIALITY_REQUIRED) says why.
    static Opened open(const LdapServer& server, std::string_view dn, std::string_view password);
    ~LdapConnection();
    LdapConnection(const LdapConnection&) = delete;
    LdapConnection& operator=(const LdapConnection&) = delete;

    // A connection opened before a fork belongs to the parent: the child makes its own.
    bool ownedHere() const;

    enum class Scope { Base, OneLevel, Subtree };
    // One page of at most `pageSize` entries from `cookie` on ("" for the first page); all
    // entries at once, unpaged, for a page size of 0. `attributes` empty: no attributes
    // at all ("1.1"). A page that has a next one has the request for it sent before it is
    // returned, so that the server works on it meanwhile; another paged search drops that
    // request.
    kestrel::platform::Expected<LdapPage, LdapError> search(
        const std::string& base, Scope scope, const std::string& filter,
        const std::vector<std::string>& attributes, int pageSize, const std::string& cookie);
    // An unpaged search sent now and answered through collect(), so that its round trip
    // overlaps the caller's next requests.
    kestrel::platform::Expected<int, LdapError> sendSearch(
        const std::string& base, Scope scope, const std::string& filter,
        const std::vector<std::string>& attributes);
    kestrel::platform::Expected<LdapPage, LdapError> collect(int id);
    // Tells connections apart, also one made where another was.
    std::uint64_t serial() const { return serial_; }

  private:
    struct Request {
        std::string base;
        Scope scope;
        std::string filter;
        std::vector<std::string> attributes;
        int pageSize;
        std::string cookie;
        bool operator==(const Request&) const = default;
    };
    struct SentRequest {
        Request request;
        int id;
    };

    LdapConnection(ldap* handle, int timeoutSeconds);
    LdapError lastError(int code, const char* doing) const;
    kestrel::platform::Expected<int, LdapError> send(const Request& request);
    kestrel::platform::Expected<LdapPage, LdapError> receive(int id);
    void dropReadAhead();

    ldap* handle_;
    int timeoutSeconds_;
    pid_t owner_;
    std::uint64_t serial_;
    std::optional<SentRequest> readAhead_;  // the next page of the last paged search
};

// Whether an error means the server cannot be reached (down, refused, timed out).
bool isConnectionError(const LdapError& error);

}  // namespace nw
