#pragma once

#include <istream>
#include <ostream>

#include "ui/ConsoleInput.h"
#include "ui/Ui.h"

namespace kestrel::setup {

// For runs without a display: every box is printed with its buttons. A box with one button
// only tells; a question is answered by the person at the terminal (`terminal`), who types
// the button's letter or number, Enter for the default button. Wizard pages are filled in
// there too (see ConsolePage). An unattended run (/S) never asks: its questions take their
// default buttons and its pages what they hold, without being shown. Where nobody can
// answer (no terminal, or its input closed; a page an unattended run cannot fill) nothing
// is waited for: the console says why, once, and gives no answer (kNoAnswer, Cancel),
// which ends the run.
class ConsoleUi : public Ui {
  public:
    explicit ConsoleUi(std::ostream& out, std::istream* terminal = nullptr, bool unattended = false)
        : out_(out), input_(out, terminal), unattended_(unattended) {}

    // Turns the terminal's echo off (false) and on again (true) while a password is typed.
    void setEchoControl(std::function<void(bool)> echo) { input_.setEchoControl(std::move(echo)); }

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override;
    void setProgressText(const std::string&, const std::string&) override {}
    bool cancelRequested() override { return false; }
    // The page at the terminal. Unattended: what the page holds, unless it needs a value
    // it does not have; then the run cannot go on.
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
    void note(const std::string& line) override;
    // Says where the file is, for the person to open.
    bool showTextFile(const std::filesystem::path& file) override;

  private:
    // The button the person types; kNoAnswer when nobody can answer.
    int ask(const MessageBoxRequest& box, const std::function<void()>& help);

    std::ostream& out_;
    ConsoleInput input_;
    bool unattended_;
    std::string lastProgress_;
};

}  // namespace kestrel::setup
