// A Ui for tests: records every message, window and pause instead of showing it, and answers
// the main dialog from a queue (OK when the queue is empty).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Ui.h"

namespace kestrel::rclog::test {

struct Message {
    std::string text;
    std::string caption;
    Icon icon;
};

class ScriptedUi : public Ui {
  public:
    void showMessage(const std::string& text, const std::string& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
        events.push_back("message: " + text);
    }
    Choice askToContinue(const std::string& legalNotice) override {
        events.push_back("ask: " + legalNotice);
        if (onAsk) onAsk();
        if (answers.empty()) return Choice::Ok;
        const Choice answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showNotification(const std::string& caption) override {
        events.push_back("notify: " + caption);
    }
    void hideNotification() override { events.push_back("hide"); }
    void pause(std::chrono::milliseconds duration) override {
        events.push_back("pause " + std::to_string(duration.count()));
    }
    void beginWaitCursor() override { ++waitCursorDepth; }
    void endWaitCursor() override { --waitCursorDepth; }

    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const Message& m : messages) all.push_back(m.text);
        return all;
    }
    int count(const std::string& event) const {
        int n = 0;
        for (const std::string& e : events) n += e == event ? 1 : 0;
        return n;
    }

    std::vector<Message> messages;
    std::vector<std::string> events;
    std::deque<Choice> answers;
    std::function<void()> onAsk;
    int waitCursorDepth = 0;
};

}  // namespace kestrel::rclog::test
