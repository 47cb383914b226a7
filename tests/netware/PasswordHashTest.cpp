// Password hashes as the directory keeps them (nwdir's tests make new ones).
#include <gtest/gtest.h>

#include "ClientFixture.h"
#include "nwkit/PasswordHash.h"

using namespace nw::kit;

TEST(PasswordHash, OnlySha512CryptHashesOfThePasswordMatch) {
    EXPECT_TRUE(verifyPassword("secret", nwtest::kSecretHash));
    EXPECT_FALSE(verifyPassword("secret ", nwtest::kSecretHash));
    EXPECT_FALSE(verifyPassword("", ""));
    EXPECT_FALSE(verifyPassword("secret", "secret"));
    EXPECT_FALSE(verifyPassword("secret", "$1$kestreltest$abc"));
    EXPECT_FALSE(verifyPassword("secret", "$6$"));
}
