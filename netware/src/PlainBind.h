// A simple bind sends the password as it is. Over a connection without TLS the client sends it
// only to a server on this machine, unless the configuration allows more (PlainBind=yes): what
// trusted LDAP clients do, since anyone on the way could read it otherwise.
#pragma once

#include <string>
#include <string_view>

namespace nw {

// 127.0.0.0/8, ::1, an IPv4 loopback address in IPv6 form, and the name localhost.
bool isLoopbackHost(std::string_view host);
// Whether `url` ("ldap://host:port") leads to this machine.
bool isLoopbackUrl(const std::string& url);

}  // namespace nw
