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

void writeText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

}  // namespace

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : previous_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    tzset();
}

void ScopedEnvironment::set(const std::string& name, const std::string& value) {
    if (!previous_.contains(name)) {
        const char* old = std::getenv(name.c_str());
        previous_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    setenv(name.c_str(), value.c_str(), 1);
    tzset();
}

void DirectoryTest::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrelscope-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    for (const char* folder : {"home", "config", "state", "profile"})
        std::filesystem::create_directory(root_ / folder);
    environment_.set("HOME", (root_ / "home").string());
    environment_.set("XDG_CONFIG_HOME", (root_ / "config").string());
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    environment_.set("USERPROFILE", (root_ / "profile").string());
    environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
    environment_.set("TZ", "UTC");  // time texts are local time

    writeText(root_ / "directory.json", testDirectory());
    writeText(root_ / "nwclient.ini",
              "[Client]\nDirectory=directory.json\nDefaultTree=ACME_TREE\n"
              "NameContext=O=Acme\nSessionFile=session\n");
}

void DirectoryTest::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
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
