#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/Ui.h"

namespace kestrel::setup {

// For tests: answers boxes from a queue and records everything shown. An answer that is no
// button of the box is what a person could not press (Escape in a box without button 2, a
// hidden Help) and is passed over; Help calls the help handler and the box stays open; with
// the queue empty the default button is pressed.
class ScriptedUi : public Ui {
  public:
    struct Shown {
        MessageBoxRequest box;
        int answer = 0;
    };

    void answer(std::initializer_list<int> buttons) { answers_.insert(answers_.end(), buttons); }

    // How the person answers the next page: what they type into the fields (nullopt leaves a
    // field as it is), which choice they take, whether they press Help or Browse (on the
    // first field) first, and the button that ends the page.
    struct PageAnswer {
        PageResult result = PageResult::Next;
        std::vector<std::optional<std::string>> texts = {};
        std::optional<int> choice = std::nullopt;
        bool help = false;
        bool browse = false;
        // What the person does on the page before the button (the component page's items).
        std::function<void(WizardPage&)> work = {};
    };
    void answerPage(PageAnswer answer) { pageAnswers_.push_back(std::move(answer)); }
    void answerPages(std::initializer_list<PageResult> results) {
        for (PageResult result : results) answerPage({result});
    }
    // The folder the chooser gives next (nullopt: the person cancels it).
    void chooseFolderAnswer(std::optional<std::filesystem::path> folder) {
        folders_.push_back(std::move(folder));
    }

    // What the person types into the next text dialog (nullopt: Cancel).
    void answerText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override { titles.push_back(title); }
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override;
    // Answers from the page queue; with it empty Next where it can be pressed, else Cancel.
    PageResult showPage(WizardPage& page, const PageActions& actions) override;
    std::optional<std::filesystem::path> chooseFolder(const std::filesystem::path& start) override;
    // Answers from the text queue; with it empty the person cancels.
    std::optional<std::string> askText(const TextRequest& request) override;
    void showProgress(const ProgressView& view) override { progressViews.push_back(view); }
    void setClipboardText(const std::string& text) override { clipboard.push_back(text); }
    void showMainWindow() override { ++mainWindowShown; }
    void raiseMainWindow() override { mainWindowRaised.push_back(shown.size()); }
    void note(const std::string& line) override { notes.push_back(line); }
    bool showTextFile(const std::filesystem::path& file) override {
        textFiles.push_back(file);
        return textFileShown;
    }

    // The kinds of the pages shown, in order.
    std::vector<PageKind> pageKinds() const;

    // The numbers of the messages shown, in order.
    std::vector<int> numbers() const;

    std::vector<Shown> shown;
    std::vector<std::string> titles;
    std::vector<std::string> notes;
    std::vector<std::string> progress;    // "first | second"
    std::vector<std::string> helpOpened;  // "file#topic"
    int cancelAfterPolls = -1;            // cancel once this many polls have passed; -1: never
    std::vector<WizardPage> pages;        // as they came up, before the answer
    std::vector<std::filesystem::path> folderStarts;
    std::vector<TextRequest> textRequests;  // the text dialogs, in order
    std::vector<ProgressView> progressViews;
    int mainWindowShown = 0;
    std::vector<std::size_t> mainWindowRaised;     // each time: how many boxes were shown before
    std::vector<std::string> clipboard;            // every text put there, in order
    std::vector<std::filesystem::path> textFiles;  // shown in the desktop's text viewer
    bool textFileShown = true;                     // whether the desktop could show them

  private:
    std::deque<int> answers_;
    std::deque<PageAnswer> pageAnswers_;
    std::deque<std::optional<std::filesystem::path>> folders_;
    std::deque<std::optional<std::string>> texts_;
    int polls_ = 0;
};

}  // namespace kestrel::setup
