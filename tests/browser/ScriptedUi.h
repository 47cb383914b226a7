// A Ui for tests: records every message instead of showing it.
#pragma once

#include <string>
#include <vector>

#include "Ui.h"

namespace kestrel::browser::test {

class ScriptedUi : public Ui {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void beginWaitCursor() override { ++waitCursorDepth; }
    void endWaitCursor() override { --waitCursorDepth; }

    std::vector<std::string> messages;
    int waitCursorDepth = 0;
};

}  // namespace kestrel::browser::test
