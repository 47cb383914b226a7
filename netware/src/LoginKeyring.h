// The passwords of LDAP logins, shared by every program of the user without ever reaching a
// disk, a command line or the environment: each is a "user" key in the kernel's key
// retention service, in the user's keyring (so only processes of this user can read it),
// with an idle time-out that every use renews. Logging out revokes the key, and with it the
// login of every program at once. Keys are named after the session file and the tree, so
// two client setups of one user (tests, say) never see each other's logins.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nwkit/Secret.h"
#include "platform/Expected.h"

namespace nw {

using kit::Secret;

class LoginKeyring {
  public:
    // `scope` tells client setups apart (the session file's path).
    LoginKeyring(std::string scope, std::uint32_t idleSeconds)
        : scope_(std::move(scope)), idleSeconds_(idleSeconds) {}

    // Keeps the password for `tree`; the error says why the key service could not.
    kestrel::platform::Expected<void, std::string> store(std::string_view tree,
                                                         std::string_view password);
    // The password for `tree`, when a login holds one (its time-out starts again).
    std::optional<Secret> fetch(std::string_view tree);
    bool holds(std::string_view tree);
    // Ends the login for every program of the user.
    void revoke(std::string_view tree);

  private:
    std::string description(std::string_view tree) const;
    long find(std::string_view tree) const;

    std::string scope_;
    std::uint32_t idleSeconds_;
};

}  // namespace nw
