#include "LdapConnection.h"

#include <ldap.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <string_view>
#include <vector>

#include "PlainBind.h"
#include "platform/AsciiCase.h"

namespace nw {

namespace {

using kestrel::platform::unexpected;

// Writing to a connection the server closed raises SIGPIPE, which would end the program: a
// library must not. It is held back in this thread while libldap works, and one that came
// meanwhile is taken (the write itself fails with EPIPE, which libldap reports).
class QuietPipe {
  public:
    QuietPipe() {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe, &saved_);
    }
    ~QuietPipe() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            timespec none{0, 0};
            sigtimedwait(&pipe, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }
    QuietPipe(const QuietPipe&) = delete;
    QuietPipe& operator=(const QuietPipe&) = delete;

  private:
    sigset_t saved_{};
    bool wasPending_ = false;
};

struct MessageRelease {
    void operator()(LDAPMessage* message) const { ldap_msgfree(message); }
};
using Message = std::unique_ptr<LDAPMessage, MessageRelease>;

LdapEntry entryOf(LDAP* handle, LDAPMessage* message) {
    LdapEntry entry;
    if (char* dn = ldap_get_dn(handle, message)) {
        entry.dn = dn;
        ldap_memfree(dn);
    }
    BerElement* position = nullptr;
    for (char* name = ldap_first_attribute(handle, message, &position); name != nullptr;
         name = ldap_next_attribute(handle, message, position)) {
        std::vector<std::string> values;
        if (berval** found = ldap_get_values_len(handle, message, name)) {
            for (berval** value = found; *value != nullptr; ++value)
                values.emplace_back((*value)->bv_val, (*value)->bv_len);
            ldap_value_free_len(found);
        }
        entry.attributes.emplace_back(name, std::move(values));
        ldap_memfree(name);
    }
    if (position != nullptr) ber_free(position, 0);
    return entry;
}

}  // namespace

LdapConnection::LdapConnection(ldap* handle, int timeoutSeconds)
    : handle_(handle), timeoutSeconds_(timeoutSeconds), owner_(getpid()) {
    static std::uint64_t made = 0;
    serial_ = ++made;
}

bool LdapConnection::ownedHere() const {
    return owner_ == getpid();
}

LdapConnection::Opened LdapConnection::open(const LdapServer& server, std::string_view dn,
                                            std::string_view password) {
    const bool tls =
        server.startTls || kestrel::platform::asciiLower(server.url).starts_with("ldaps:");
    if (!dn.empty() && !tls && !server.plainBind && !isLoopbackUrl(server.url))
        return unexpected(LdapError{
            LDAP_CONFIDENTIALITY_REQUIRED,
            "the password is not sent: the connection is not encrypted and the server is not on "
            "this machine (use ldaps:// or TLS=yes; PlainBind=yes allows it, for anyone on the "
            "way to read)"});
    QuietPipe quiet;
    LDAP* handle = nullptr;
    int rc = ldap_initialize(&handle, server.url.c_str());
    if (rc != LDAP_SUCCESS)
        return unexpected(LdapError{rc, std::string("initialize: ") + ldap_err2string(rc)});
    std::unique_ptr<LdapConnection> connection(new LdapConnection(handle, server.timeoutSeconds));
    int version = LDAP_VERSION3;
    timeval timeout{server.timeoutSeconds, 0};
    ldap_set_option(handle, LDAP_OPT_PROTOCOL_VERSION, &version);
    // A server that does not answer costs at most the time-out, never a hang.
    ldap_set_option(handle, LDAP_OPT_NETWORK_TIMEOUT, &timeout);
    ldap_set_option(handle, LDAP_OPT_TIMEOUT, &timeout);
    // Referrals are not chased: that would hand the user's password to another server.
    ldap_set_option(handle, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(handle, LDAP_OPT_RESTART, LDAP_OPT_ON);
    // Over TLS a server that is up but whose certificate does not verify looks to libldap like
    // one that is down; the user is told where the trust comes from.
    const auto failed = [&](int code, const char* doing) {
        LdapError error = connection->lastError(code, doing);
        if (tls && (code == LDAP_SERVER_DOWN || code == LDAP_CONNECT_ERROR))
            error.message +=
                "; if the server is up, its certificate is not trusted here "
                "(TLS_CACERT in ldap.conf, or LDAPTLS_CACERT)";
        return unexpected(error);
    };
    if (server.startTls) {
        rc = ldap_start_tls_s(handle, nullptr, nullptr);
        if (rc != LDAP_SUCCESS) return failed(rc, "StartTLS");
    }
    std::string secret(password);
    berval credential{static_cast<ber_len_t>(secret.size()), secret.data()};
    std::string who(dn);
    rc = ldap_sasl_bind_s(handle, who.empty() ? nullptr : who.c_str(), LDAP_SASL_SIMPLE,
                          &credential, nullptr, nullptr, nullptr);
    explicit_bzero(secret.data(), secret.size());
    if (rc != LDAP_SUCCESS) return failed(rc, "bind");
    return connection;
}

LdapConnection::~LdapConnection() {
    QuietPipe quiet;
    // A child of a fork shares the parent's socket (and TLS session): anything it sent on
    // it, a goodbye or a TLS close, would end the parent's connection. The child leaves the
    // handle alone; it goes with the child.
    if (ownedHere()) {
        ldap_unbind_ext_s(handle_, nullptr, nullptr);
    } else {
        static auto* inherited = new std::vector<LDAP*>();
        inherited->push_back(handle_);
    }
}

LdapError LdapConnection::lastError(int code, const char* doing) const {
    std::string message = std::string(doing) + ": " + ldap_err2string(code);
    char* detail = nullptr;
    if (ldap_get_option(handle_, LDAP_OPT_DIAGNOSTIC_MESSAGE, &detail) == LDAP_OPT_SUCCESS &&
        detail != nullptr) {
        // The TLS layer's "(unknown error code)" tells the user nothing.
        if (*detail != '\0' && std::string_view(detail) != "(unknown error code)")
            message += " (" + std::string(detail) + ")";
        ldap_memfree(detail);
    }
    return LdapError{code, message};
}

kestrel::platform::Expected<LdapPage, LdapError> LdapConnection::search(
    const std::string& base, Scope scope, const std::string& filter,
    const std::vector<std::string>& attributes, int pageSize, const std::string& cookie) {
    QuietPipe quiet;
    Request request{base, scope, filter, attributes, pageSize, cookie};
    int id = 0;
    if (readAhead_ && readAhead_->request == request) {
        id = readAhead_->id;
        readAhead_.reset();
    } else {
        // A server keeps the state of one paged search per connection: another paged search
        // ends the one read ahead. Other searches go on beside it.
        if (pageSize > 0) dropReadAhead();
        auto sent = send(request);
        if (!sent) return unexpected(sent.error());
        id = *sent;
    }
    auto page = receive(id);
    if (page && pageSize > 0 && !page->cookie.empty()) {
        // Without this the server would wait while the caller takes the page, and the caller
        // while the server makes the next: a listing would take the sum of both.
        request.cookie = page->cookie;
        // A request that cannot be sent now is sent again, and its failure said, when asked.
        if (auto sent = send(request)) readAhead_ = SentRequest{std::move(request), *sent};
    }
    return page;
}

kestrel::platform::Expected<int, LdapError> LdapConnection::sendSearch(
    const std::string& base, Scope scope, const std::string& filter,
    const std::vector<std::string>& attributes) {
    QuietPipe quiet;
    return send(Request{base, scope, filter, attributes, 0, {}});
}

kestrel::platform::Expected<LdapPage, LdapError> LdapConnection::collect(int id) {
    QuietPipe quiet;
    return receive(id);
}

void LdapConnection::dropReadAhead() {
    if (!readAhead_) return;
    ldap_abandon_ext(handle_, readAhead_->id, nullptr, nullptr);
    readAhead_.reset();
}

kestrel::platform::Expected<int, LdapError> LdapConnection::send(const Request& request) {
    std::vector<char*> names;
    static char noAttributes[] = LDAP_NO_ATTRS;
    for (const std::string& name : request.attributes)
        names.push_back(const_cast<char*>(name.c_str()));
    if (names.empty()) names.push_back(noAttributes);
    names.push_back(nullptr);

    berval cookieValue{static_cast<ber_len_t>(request.cookie.size()),
                       const_cast<char*>(request.cookie.data())};
    LDAPControl* paging = nullptr;
    int rc = LDAP_SUCCESS;
    // Not critical: a server without paging sends everything in one page, which still works.
    if (request.pageSize > 0)
        rc = ldap_create_page_control(handle_, static_cast<ber_int_t>(request.pageSize),
                                      request.cookie.empty() ? nullptr : &cookieValue, 0, &paging);
    if (rc != LDAP_SUCCESS) return unexpected(lastError(rc, "paged search"));
    LDAPControl* controls[] = {paging, nullptr};
    int ldapScope = request.scope == Scope::Base       ? LDAP_SCOPE_BASE
                    : request.scope == Scope::OneLevel ? LDAP_SCOPE_ONELEVEL
                                                       : LDAP_SCOPE_SUBTREE;
    timeval timeout{timeoutSeconds_, 0};
    int id = 0;
    rc = ldap_search_ext(handle_, request.base.c_str(), ldapScope, request.filter.c_str(),
                         names.data(), 0, controls, nullptr, &timeout, LDAP_NO_LIMIT, &id);
    if (paging != nullptr) ldap_control_free(paging);
    if (rc != LDAP_SUCCESS) return unexpected(lastError(rc, "search"));
    return id;
}

kestrel::platform::Expected<LdapPage, LdapError> LdapConnection::receive(int id) {
    timeval timeout{timeoutSeconds_, 0};
    LDAPMessage* raw = nullptr;
    int got = ldap_result(handle_, id, LDAP_MSG_ALL, &timeout, &raw);
    Message result(raw);
    if (got == 0) {
        ldap_abandon_ext(handle_, id, nullptr, nullptr);
        return unexpected(lastError(LDAP_TIMEOUT, "search"));
    }
    if (got < 0 || result == nullptr) {
        int rc = LDAP_OTHER;
        ldap_get_option(handle_, LDAP_OPT_RESULT_CODE, &rc);
        return unexpected(lastError(rc, "search"));
    }

    LdapPage page;
    // Continuation references point to other servers: like referrals, not followed.
    for (LDAPMessage* entry = ldap_first_entry(handle_, result.get()); entry != nullptr;
         entry = ldap_next_entry(handle_, entry))
        page.entries.push_back(entryOf(handle_, entry));
    int code = LDAP_SUCCESS;
    LDAPControl** serverControls = nullptr;
    char** referrals = nullptr;
    LDAPMessage* done = ldap_first_message(handle_, result.get());
    while (done != nullptr && ldap_msgtype(done) != LDAP_RES_SEARCH_RESULT)
        done = ldap_next_message(handle_, done);
    if (done == nullptr) return unexpected(lastError(LDAP_OTHER, "search"));
    int rc =
        ldap_parse_result(handle_, done, &code, nullptr, nullptr, &referrals, &serverControls, 0);
    std::string referral = referrals != nullptr && referrals[0] != nullptr ? referrals[0] : "";
    if (referrals != nullptr) ber_memvfree(reinterpret_cast<void**>(referrals));
    if (rc == LDAP_SUCCESS && code == LDAP_SUCCESS && serverControls != nullptr) {
        if (LDAPControl* response =
                ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, serverControls, nullptr)) {
            ber_int_t estimate = 0;
            berval next{0, nullptr};
            if (ldap_parse_pageresponse_control(handle_, response, &estimate, &next) ==
                    LDAP_SUCCESS &&
                next.bv_val != nullptr) {
                page.cookie.assign(next.bv_val, next.bv_len);
                ber_memfree(next.bv_val);
            }
        }
    }
    if (serverControls != nullptr) ldap_controls_free(serverControls);
    if (rc != LDAP_SUCCESS) return unexpected(lastError(rc, "search"));
    if (code == LDAP_REFERRAL)
        return unexpected(LdapError{code, "search: the object is kept by another server (" +
                                              referral + "), which is not followed"});
    if (code != LDAP_SUCCESS) return unexpected(lastError(code, "search"));
    return page;
}

bool isConnectionError(const LdapError& error) {
    return error.code == LDAP_SERVER_DOWN || error.code == LDAP_CONNECT_ERROR ||
           error.code == LDAP_TIMEOUT || error.code == LDAP_UNAVAILABLE || error.code == LDAP_BUSY;
}

}  // namespace nw
