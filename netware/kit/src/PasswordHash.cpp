#include "nwkit/PasswordHash.h"

#include <crypt.h>

#include <cstring>
#include <memory>

#include "nwkit/Secret.h"

namespace nw::kit {

namespace {

// crypt_data is large (about 32 KiB); keep it off the stack. crypt_rn rather than crypt_r:
// it never returns a static failure token, and sanitizer runtimes do not intercept it (their
// crypt_r hook breaks when libcrypt arrives after start-up, as it does with a dlopened client).
// The phrase's copy and what crypt kept of it while it worked are wiped afterwards.
std::optional<std::string> cryptWith(std::string_view password, const std::string& setting) {
    auto data = std::make_unique<crypt_data>();
    Secret phrase(password);
    const char* result = crypt_rn(phrase.c_str(), setting.c_str(), data.get(), sizeof(crypt_data));
    std::optional<std::string> hash;
    if (result != nullptr && result[0] != '*') hash = std::string(result);
    explicit_bzero(data.get(), sizeof(crypt_data));
    return hash;
}

bool constantTimeEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace

bool verifyPassword(std::string_view password, const std::string& hash) {
    if (hash.rfind("$6$", 0) != 0) return false;
    auto computed = cryptWith(password, hash);
    return computed && constantTimeEquals(*computed, hash);
}

void spendVerificationTime(std::string_view password) {
    static const std::string setting = "$6$kestreltiming$";
    (void)cryptWith(password, setting);
}

std::optional<std::string> hashPassword(std::string_view password) {
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    if (crypt_gensalt_rn("$6$", 0, nullptr, 0, setting, sizeof setting) == nullptr)
        return std::nullopt;
    return cryptWith(password, setting);
}

}  // namespace nw::kit
