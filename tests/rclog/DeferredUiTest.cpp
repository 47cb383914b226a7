// Windows are made only when one is needed, so a quiet session never loads a window system.
#include <gtest/gtest.h>

#include "DeferredUi.h"
#include "Quillbox.h"
#include "RclogFixture.h"

namespace kestrel::rclog::test {
namespace {

class DeferredUiTest : public RclogTest {
  protected:
    DeferredUi ui_{[this] {
        ++made_;
        auto windows = std::make_unique<ScriptedUi>();
        windows_ = windows.get();
        return windows;
    }};
    int made_ = 0;
    ScriptedUi* windows_ = nullptr;
};

TEST_F(DeferredUiTest, QuietSessionMakesNoWindows) {
    login();
    writeConfig("Notify=Off\n");
    EXPECT_EQ(Quillbox(ui_).run({{programPath_, "-wWS17.Sales.Acme"}, programPath_}), 0);
    EXPECT_EQ(made_, 0);
    EXPECT_EQ(viewerRuns().size(), 1U);
}

TEST_F(DeferredUiTest, FirstWindowMakesThemOnceAndGetsTheWaitCursor) {
    ui_.beginWaitCursor();
    ui_.hideNotification();
    ui_.pause(std::chrono::milliseconds(1));
    EXPECT_EQ(made_, 0);
    ui_.showNotification("caption");
    ui_.showMessage("text", "caption", Icon::Stop);
    EXPECT_EQ(ui_.askToContinue("legal"), Choice::Ok);
    ui_.pause(std::chrono::milliseconds(750));
    ui_.endWaitCursor();
    ui_.endWaitCursor();  // one too many is ignored
    EXPECT_EQ(made_, 1);
    EXPECT_EQ(windows_->waitCursorDepth, 0);
    EXPECT_EQ(windows_->events, (std::vector<std::string>{"notify: caption", "message: text",
                                                          "ask: legal", "pause 750"}));
}

}  // namespace
}  // namespace kestrel::rclog::test
