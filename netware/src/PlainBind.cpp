#include "PlainBind.h"

#include <arpa/inet.h>
#include <ldap.h>

#include <cstring>

#include "platform/AsciiCase.h"

namespace nw {

bool isLoopbackHost(std::string_view host) {
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (kestrel::platform::equalsIgnoreAsciiCase(host, "localhost")) return true;
    // Only literal addresses count: a name could resolve anywhere.
    const std::string text(host);
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1)
        return (reinterpret_cast<const unsigned char*>(&v4.s_addr))[0] == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.c_str(), &v6) != 1) return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6)) return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

bool isLoopbackUrl(const std::string& url) {
    LDAPURLDesc* parts = nullptr;
    if (ldap_url_parse(url.c_str(), &parts) != LDAP_URL_SUCCESS) return false;
    const bool loopback = parts->lud_host != nullptr && isLoopbackHost(parts->lud_host);
    ldap_free_urldesc(parts);
    return loopback;
}

}  // namespace nw
