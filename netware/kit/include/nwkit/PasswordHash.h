// Salted SHA-512 crypt(3) hashes: the only form in which the directory keeps passwords.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nw::kit {

// True when `password` gives `hash`. An empty or malformed hash matches nothing.
bool verifyPassword(std::string_view password, const std::string& hash);
// Spends about the time of one verification, so that an unknown user cannot be told from
// a wrong password by timing.
void spendVerificationTime(std::string_view password);
// A new "$6$<salt>$<hash>" with a random salt; nullopt when the system gives no randomness.
std::optional<std::string> hashPassword(std::string_view password);

}  // namespace nw::kit
