// Password hashes as the directory keeps them (nwdir's tests make new ones).
#include <gtest/gtest.h>

#include "DirectoryBuilder.h"
#include "nwkit/PasswordHash.h"

using namespace nw::kit;
using kestrel::test::kTestPassword;
using kestrel::test::kTestPasswordHash;

TEST(PasswordHash, OnlySha512CryptHashesOfThePasswordMatch) {
    EXPECT_TRUE(verifyPassword(kTestPassword, kTestPasswordHash));
    EXPECT_FALSE(verifyPassword("secret ", kTestPasswordHash));
    EXPECT_FALSE(verifyPassword("", ""));
    EXPECT_FALSE(verifyPassword("secret", "secret"));
    EXPECT_FALSE(verifyPassword("secret", "$1$kestreltest$abc"));
    EXPECT_FALSE(verifyPassword("secret", "$6$"));
}
