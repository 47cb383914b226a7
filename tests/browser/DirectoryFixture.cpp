#include "DirectoryFixture.h"

#include <cstdio>

namespace kestrel::browser::test {

namespace {

// tests/data/browser/directory.json (every user's password is "secret") with the
// workstations of OU=Big.O=Acme added, too many for one reply buffer.
kestrel::test::DirectoryBuilder testDirectory() {
    auto directory = kestrel::test::DirectoryBuilder::fromFile(
        std::filesystem::path(KESTREL_SOURCE_DIR) / "tests/data/browser/directory.json");
    directory.tree(kAcme);
    for (int i = 1; i <= kBigContainerSize; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "CN=WS%03d.OU=Big.O=Acme", i);
        directory.object(name, "Workstation");
    }
    return directory;
}

}  // namespace

void DirectoryTest::SetUp() {
    world_.useDirectory(testDirectory(),
                        {.defaultTree = kAcme, .nameContext = "O=Acme", .sessionFile = "session"});
}

std::unique_ptr<CNDSAccess> DirectoryTest::access(ClientLibraryNames names) {
    return std::make_unique<CNDSAccess>(ui_, std::move(names));
}

std::unique_ptr<CNDSAccess> DirectoryTest::loggedIn() {
    auto layer = access();
    EXPECT_EQ(layer->Login(kAcme, kAdmin, kPassword), 0);
    return layer;
}

}  // namespace kestrel::browser::test
