#include "ClassicFixture.h"

#include "ClientLogin.h"

namespace kestrel::classic::test {

void ClassicTest::SetUp() {
    useDirectory(kestrel::test::sampleDirectoryFile());
}

void ClassicTest::useDirectory(const std::filesystem::path& directoryFile,
                               const std::string& nameContext) {
    world_.writeConfig({.directory = directoryFile.string(),
                        .defaultTree = "ACME_TREE",
                        .nameContext = nameContext,
                        .sessionFile = "session"});
}

void ClassicTest::login(const char* tree, const char* user, const char* password) {
    EXPECT_EQ(kestrel::test::loginThroughClient(tree, user, password), 0);
}

ClassicBrowser& ClassicTest::startBrowser(const std::string& commandLine, Ui* ui) {
    if (ui == nullptr) ui = &ui_;
    browser_.reset();
    directory_ = std::make_unique<DirectoryAccess>(*ui);
    BrowserServices services;
    services.profileFile = profile();
    services.startProgram = [this](const platform::StartRequest& request) {
        started_.push_back(request.commandLine);
        return startResult_;
    };
    services.echo = &echo_;
    services.wakeOnLan = ports_;
    browser_ = std::make_unique<ClassicBrowser>(*ui, *directory_, std::move(services));
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
