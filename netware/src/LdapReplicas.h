// The servers that keep one tree and replicate each other. A connection goes to the first of
// them that answers, in the configured order from the one used last, and the one that
// answered stays in use; one that fails in the middle of a call hands over to the next.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "LdapConnection.h"

namespace nw {

class LdapReplicas {
  public:
    // `settings` apply to every server; its url is not used.
    LdapReplicas(std::vector<std::string> urls, LdapServer settings);

    // Connects and binds, trying each server once, each with the time-out. A server that
    // cannot be reached is passed over (`passedOver` then says which and why, for the user);
    // any other answer (a wrong password, say) is the same on every server and ends the
    // trying. The error's `server` names the server it came from, or is empty when every
    // server was tried (its message then names each).
    LdapConnection::Opened open(std::string_view dn, std::string_view password,
                                std::string* passedOver);
    // The server in use failed during a call: the next one is tried first from now on.
    void failed();
    const std::string& current() const { return urls_[current_]; }
    std::size_t size() const { return urls_.size(); }

  private:
    std::vector<std::string> urls_;
    LdapServer settings_;
    std::size_t current_ = 0;
};

}  // namespace nw
