// A Ui for tests: records every message and answers the dialogs from prepared answers.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ClassicUi.h"

namespace kestrel::classic::test {

class ScriptedUi : public Ui {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void beep() override { ++beeps; }
    void beginWaitCursor() override { ++waitCursorDepth; }
    void endWaitCursor() override { --waitCursorDepth; }
    std::optional<std::string> askNewContext(const std::string& context) override {
        contextsOffered.push_back(context);
        return newContext;
    }
    bool confirmSaveContext(const std::string& context) override {
        contextsOffered.push_back(context);
        return save;
    }
    void showWorkstationInfo(const WorkstationInfo& shown) override { info = shown; }

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> contextsOffered;
    bool answerYes = true;
    std::optional<std::string> newContext;
    bool save = true;
    std::optional<WorkstationInfo> info;
    int beeps = 0;
    int waitCursorDepth = 0;
};

}  // namespace kestrel::classic::test
