#include "LoginKeyring.h"

#include <linux/keyctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/AsciiCase.h"

namespace nw {

namespace {

constexpr const char* kKeyType = "user";
// The owner (as possessor or as the same user) may do everything; nobody else anything.
constexpr std::uint32_t kPermissions = 0x3f3f0000;
constexpr std::size_t kMaxSecret = 4096;

long keyctl(int operation, unsigned long a, unsigned long b = 0, unsigned long c = 0) {
    return syscall(SYS_keyctl, operation, a, b, c, 0UL);
}

}  // namespace

std::string LoginKeyring::description(std::string_view tree) const {
    return "kestrel-login:" + kestrel::platform::asciiUpper(tree) + ":" + scope_;
}

long LoginKeyring::find(std::string_view tree) const {
    std::string name = description(tree);
    return keyctl(KEYCTL_SEARCH, static_cast<unsigned long>(KEY_SPEC_USER_KEYRING),
                  reinterpret_cast<unsigned long>(kKeyType),
                  reinterpret_cast<unsigned long>(name.c_str()));
}

kestrel::platform::Expected<void, std::string> LoginKeyring::store(std::string_view tree,
                                                                   std::string_view password) {
    std::string name = description(tree);
    long key = syscall(SYS_add_key, kKeyType, name.c_str(), password.data(), password.size(),
                       KEY_SPEC_USER_KEYRING);
    if (key < 0) return kestrel::platform::unexpected(std::string(std::strerror(errno)));
    // A key whose permissions cannot be set might say more than this user may know: it goes.
    if (keyctl(KEYCTL_SETPERM, static_cast<unsigned long>(key), kPermissions) != 0) {
        std::string reason = std::strerror(errno);
        revoke(tree);
        return kestrel::platform::unexpected("cannot make the key private: " + reason);
    }
    keyctl(KEYCTL_SET_TIMEOUT, static_cast<unsigned long>(key), idleSeconds_);
    return {};
}

std::optional<Secret> LoginKeyring::fetch(std::string_view tree) {
    long key = find(tree);
    if (key < 0) return std::nullopt;
    std::vector<char> buffer(kMaxSecret);
    long size = keyctl(KEYCTL_READ, static_cast<unsigned long>(key),
                       reinterpret_cast<unsigned long>(buffer.data()), buffer.size());
    if (size < 0 || static_cast<std::size_t>(size) > buffer.size()) return std::nullopt;
    Secret secret(std::string_view(buffer.data(), static_cast<std::size_t>(size)));
    explicit_bzero(buffer.data(), buffer.size());
    keyctl(KEYCTL_SET_TIMEOUT, static_cast<unsigned long>(key), idleSeconds_);
    return secret;
}

bool LoginKeyring::holds(std::string_view tree) {
    return find(tree) >= 0;
}

void LoginKeyring::revoke(std::string_view tree) {
    // Revoked, a key is unusable at once for every process that may hold its id.
    long key = find(tree);
    for (int round = 0; key >= 0 && round < 8; ++round, key = find(tree)) {
        keyctl(KEYCTL_REVOKE, static_cast<unsigned long>(key));
        keyctl(KEYCTL_UNLINK, static_cast<unsigned long>(key),
               static_cast<unsigned long>(KEY_SPEC_USER_KEYRING));
    }
}

}  // namespace nw
