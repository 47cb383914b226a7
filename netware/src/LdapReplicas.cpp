#include "LdapReplicas.h"

namespace nw {

LdapReplicas::LdapReplicas(std::vector<std::string> urls, LdapServer settings)
    : urls_(std::move(urls)), settings_(std::move(settings)) {}

LdapConnection::Opened LdapReplicas::open(std::string_view dn, std::string_view password,
                                          std::string* passedOver) {
    std::string unreachable;
    LdapError last;
    for (std::size_t tried = 0; tried < urls_.size(); ++tried) {
        const std::size_t index = (current_ + tried) % urls_.size();
        LdapServer server = settings_;
        server.url = urls_[index];
        auto opened = LdapConnection::open(server, dn, password);
        if (opened) {
            current_ = index;
            *passedOver = unreachable;
            return opened;
        }
        last = opened.error();
        last.server = server.url;
        if (!isConnectionError(last)) return kestrel::platform::unexpected(last);
        unreachable += (unreachable.empty() ? "" : "; ") + server.url + ": " + last.message;
    }
    if (urls_.size() > 1) last = LdapError{last.code, unreachable, {}};
    return kestrel::platform::unexpected(last);
}

void LdapReplicas::failed() {
    current_ = (current_ + 1) % urls_.size();
}

}  // namespace nw
