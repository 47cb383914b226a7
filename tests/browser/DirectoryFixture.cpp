#include "DirectoryFixture.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>

namespace kestrel::browser::test {

namespace {

using Json = nlohmann::ordered_json;

// tests/data/browser/directory.json (every user's password is "secret") with the
// workstations of OU=Big.O=Acme added, too many for one reply buffer.
std::string testDirectory() {
    std::ifstream file(std::filesystem::path(KESTREL_SOURCE_DIR) /
                       "tests/data/browser/directory.json");
    Json directory = Json::parse(file);
    Json& acme = directory["trees"][0]["objects"];
    for (int i = 1; i <= kBigContainerSize; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "CN=WS%03d.OU=Big.O=Acme", i);
        acme.push_back({{"name", name}, {"class", "Workstation"}});
    }
    return directory.dump(1);
}

}  // namespace

void DirectoryTest::SetUp() {
    for (const char* folder : {"home", "config", "state", "profile"})
        std::filesystem::create_directory(root_ / folder);
    environment_.set("HOME", (root_ / "home").string());
    environment_.set("XDG_CONFIG_HOME", (root_ / "config").string());
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    environment_.set("USERPROFILE", (root_ / "profile").string());
    environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
    environment_.set("TZ", "UTC");  // time texts are local time

    kestrel::test::writeFile(root_ / "directory.json", testDirectory());
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\nDirectory=directory.json\nDefaultTree=ACME_TREE\n"
                             "NameContext=O=Acme\nSessionFile=session\n");
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
