#pragma once

#include <ostream>

#include "ui/Ui.h"

namespace kestrel::setup {

// For runs without a display: every box is printed with its buttons and answered with its
// default button, as a person pressing Enter would.
class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& out) : out_(out) {}

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string&, const std::string&) override {}
    bool cancelRequested() override { return false; }
    // Prints the page and takes what it holds: its preset choice and texts. A page that
    // needs a value it does not have cannot go on here: it ends with Cancel.
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path&) override {
        return std::nullopt;
    }
    // Prints what is being copied or deleted, once a file.
    void showProgress(const ProgressView& view) override;
    // There is no clipboard here: the text is printed, for the person to copy.
    void setClipboardText(const std::string& text) override;

  private:
    void printComponents(const ComponentPage& components);

    std::ostream& out_;
    std::string lastProgress_;
};

}  // namespace kestrel::setup
