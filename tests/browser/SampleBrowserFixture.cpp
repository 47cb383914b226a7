#include "SampleBrowserFixture.h"

namespace kestrel::browser::test {

void SampleBrowserTest::logInAsDemo() {
    CNDSAccess access(ui_);
    ASSERT_EQ(access.Login("ACME_TREE", "CN=Demo.OU=IT.O=Acme", "demo"), 0);
}

BrowserController& SampleBrowserTest::openBrowser(const std::string& startContext) {
    app_.startContext = startContext;
    controller_ = std::make_unique<BrowserController>(app_, ui_, SettingsFile());
    controller_->setUp();
    return *controller_;
}

TreeItem* SampleBrowserTest::selectChild(const std::string& text) {
    TreeItem* top = controller_->tree().top();
    for (std::size_t i = 0; top != nullptr && i < top->childCount(); ++i) {
        if (top->child(i).text() == text) {
            controller_->select(&top->child(i));
            return &top->child(i);
        }
    }
    return nullptr;
}

}  // namespace kestrel::browser::test
