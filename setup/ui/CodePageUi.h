#pragma once

#include "platform/CodePage.h"
#include "ui/Ui.h"

namespace kestrel::setup {

// The installer's texts are bytes in the machine root's ANSI code page; front ends (Qt, a
// UTF-8 terminal) take UTF-8. Standing in front of one, this Ui decodes every text on its
// way there, so that is the one place installer text meets the screen. Until the root is
// open its code page is not known: Windows-1252, the one a new root gets.
class CodePageUi : public Ui {
  public:
    explicit CodePageUi(Ui& frontEnd) : frontEnd_(frontEnd) {}

    void setCodePage(const platform::CodePage& codePage) { codePage_ = &codePage; }
    const platform::CodePage& codePage() const { return *codePage_; }

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override { return frontEnd_.cancelRequested(); }
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path& start) override {
        return frontEnd_.chooseFolder(start);
    }
    std::optional<std::string> askText(const TextRequest& request) override;
    void showProgress(const ProgressView& view) override;
    void setClipboardText(const std::string& text) override {
        frontEnd_.setClipboardText(utf8(text));
    }
    // The texts and font names go on in UTF-8; picture names come back to the run as they
    // are, and the files found are host paths.
    BackgroundWindow* openMainWindow(const MainWindowContent& content) override;
    void showMainWindow() override { frontEnd_.showMainWindow(); }
    void closeMainWindow() override { frontEnd_.closeMainWindow(); }
    void raiseMainWindow() override { frontEnd_.raiseMainWindow(); }
    void waitingForProgram() override { frontEnd_.waitingForProgram(); }
    void note(const std::string& line) override { frontEnd_.note(utf8(line)); }
    bool showTextFile(const std::filesystem::path& file) override {
        return frontEnd_.showTextFile(file);
    }

  private:
    std::string utf8(const std::string& text) const { return codePage_->toUtf8(text); }
    std::string ansi(const std::string& text) const { return codePage_->fromUtf8(text); }

    Ui& frontEnd_;
    const platform::CodePage* codePage_ = &platform::CodePage::windows1252();
};

}  // namespace kestrel::setup
