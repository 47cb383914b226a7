#pragma once

#include <deque>
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

    int messageBox(const MessageBoxRequest& box, const std::function<void()>& help) override;
    void openHelp(const std::filesystem::path& file, const std::string& topic) override;
    void setTitle(const std::string& title) override { titles.push_back(title); }
    void setProgressText(const std::string& first, const std::string& second) override;
    bool cancelRequested() override;

    // The numbers of the messages shown, in order.
    std::vector<int> numbers() const;

    std::vector<Shown> shown;
    std::vector<std::string> titles;
    std::vector<std::string> progress;    // "first | second"
    std::vector<std::string> helpOpened;  // "file#topic"
    int cancelAfterPolls = -1;            // cancel once this many polls have passed; -1: never

  private:
    std::deque<int> answers_;
    int polls_ = 0;
};

}  // namespace kestrel::setup
