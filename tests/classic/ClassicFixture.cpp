#include "ClassicFixture.h"

#include "nwcalls.h"
#include "nwnet.h"

namespace kestrel::classic::test {

void ClassicTest::SetUp() {
    for (const char* folder : {"home", "config", "state", "profile", "data"})
        std::filesystem::create_directory(root_ / folder);
    environment_.set("HOME", (root_ / "home").string());
    environment_.set("XDG_CONFIG_HOME", (root_ / "config").string());
    environment_.set("XDG_STATE_HOME", (root_ / "state").string());
    environment_.set("XDG_DATA_HOME", (root_ / "data").string());
    environment_.set("USERPROFILE", (root_ / "profile").string());
    environment_.set("NWCLIENT_CONFIG", (root_ / "nwclient.ini").string());
    environment_.set("TZ", "UTC");  // time texts are local time
    useDirectory(std::filesystem::path(KESTREL_SOURCE_DIR) / "examples/directory/sample.json");
}

void ClassicTest::useDirectory(const std::filesystem::path& directoryFile) {
    kestrel::test::writeFile(root_ / "nwclient.ini",
                             "[Client]\nDirectory=" + directoryFile.string() +
                                 "\nDefaultTree=ACME_TREE\nNameContext=[Root]\n"
                                 "SessionFile=session\n");
}

void ClassicTest::login(const char* tree, const char* user, const char* password) {
    ASSERT_EQ(NWCallsInit(nullptr, nullptr), 0);
    NWDSContextHandle context = 0;
    ASSERT_EQ(NWDSCreateContextHandle(&context), 0);
    ASSERT_EQ(NWDSSetContext(context, DCK_TREE_NAME, tree), 0);
    EXPECT_EQ(NWDSLogin(context, 0, user, password, 0), 0);
    NWDSFreeContext(context);
}

ClassicBrowser& ClassicTest::startBrowser(const std::string& commandLine) {
    browser_.reset();
    directory_ = std::make_unique<DirectoryAccess>(ui_);
    BrowserServices services;
    services.profileFile = profile();
    services.startProgram = [this](const platform::StartRequest& request) {
        started_.push_back(request.commandLine);
        return startResult_;
    };
    services.echo = &echo_;
    services.wakeOnLan = ports_;
    browser_ = std::make_unique<ClassicBrowser>(ui_, *directory_, std::move(services));
    browser_->start(commandLine);
    return *browser_;
}

ItemId ClassicTest::child(ItemId parent, const std::string& text) const {
    for (ItemId item : browser_->tree().children(parent))
        if (browser_->tree().text(item) == text) return item;
    return kNoItem;
}

ItemId ClassicTest::open(std::initializer_list<const char*> path) {
    ItemId item = browser_->tree().top();
    for (const char* text : path) {
        if (item == kNoItem) return kNoItem;
        browser_->activate(item);
        item = child(item, text);
    }
    browser_->select(item);
    return item;
}

}  // namespace kestrel::classic::test
