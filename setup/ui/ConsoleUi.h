#pragma once

#include <istream>
#include <ostream>

#include "ui/Ui.h"

namespace kestrel::setup {

// For runs without a display: every box is printed with its buttons. A box with one button
// only tells; a question is answered by the person at the terminal (`terminal`), who types
// the button's letter or number, Enter for the default button. An unattended run (/S)
// never asks: its questions take their default buttons. Where nobody can answer (no
// terminal, or its input closed) a question is not waited for: the console says why and
// gives no answer (kNoAnswer), which ends the run.
class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& out, std::istream* terminal = nullptr, bool unattended = false)
        : out_(out), terminal_(terminal), unattended_(unattended) {}

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string&, const std::string&) override {}
    bool cancelRequested() override { return false; }
    // Prints the page and takes what it holds: its preset choice and texts. A page that
    // needs a value it does not have cannot go on here: it ends with Cancel, as every page
    // does once a question found nobody to answer it.
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path&) override {
        return std::nullopt;
    }
    // The request printed, the text read from the terminal (Enter alone takes the preset, or
    // cancels without one). A silent run never asks: it cancels, as does a console where
    // nobody can answer.
    std::optional<std::string> askText(const TextRequest& request) override;
    // Prints what is being copied or deleted, once a file.
    void showProgress(const ProgressView& view) override;
    // There is no clipboard here: the text is printed, for the person to copy.
    void setClipboardText(const std::string& text) override;
    // Says where the file is, for the person to open.
    bool showTextFile(const std::filesystem::path& file) override;

  private:
    void printComponents(const ComponentPage& components);
    // The button the person types; kNoAnswer when the input has ended.
    int ask(const MessageBoxRequest& box, const std::function<void()>& help);
    int noAnswer(std::string_view why);

    std::ostream& out_;
    std::istream* terminal_;
    bool unattended_;
    bool unanswered_ = false;  // a question found nobody to answer it
    std::string lastProgress_;
};

}  // namespace kestrel::setup
