// A Ui for tests: records every message and question instead of showing it, and answers
// questions and dialogs from the test's script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Ui.h"
#include "window/DialogStates.h"
#include "window/TreeDialogState.h"
#include "workstation/DesktopShortcut.h"
#include "workstation/WorkstationDetails.h"

namespace kestrel::browser::test {

class ScriptedUi : public Ui {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return true;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void beginWaitCursor() override {
        ++waitCursorDepth;
        ++waitCursorUses;
    }
    void endWaitCursor() override { --waitCursorDepth; }

    bool runLoginDialog(LoginDialogState& dialog) override {
        ++loginDialogs;
        return login ? login(dialog) : false;
    }
    InventoryServerAnswer runInventoryServerDialog(InventoryServerDialogState& dialog) override {
        shownServers.push_back(dialog.server);
        return inventoryServer ? inventoryServer(dialog) : InventoryServerAnswer::Cancel;
    }
    bool runSaveContextDialog(SaveContextDialogState& dialog) override {
        shownNames.push_back(dialog.value);
        return saveContext ? saveContext(dialog) : false;
    }
    bool runChangeContextDialog(ChangeContextDialogState& dialog) override {
        shownNames.push_back(dialog.field);
        return changeContext ? changeContext(dialog) : false;
    }
    bool runShortcutDialog(ShortcutDialogState& dialog) override {
        ++shortcutDialogs;
        return shortcut ? shortcut(dialog) : false;
    }
    bool runSearchDialog(SearchDialogState& dialog) override {
        ++searchDialogs;
        return search ? search(dialog) : false;
    }
    bool runTreeDialog(TreeDialogState& dialog) override {
        ++treeDialogs;
        return trees ? trees(dialog) : false;
    }
    void showWorkstationInfo(const WorkstationInfo& info) override { infos.push_back(info); }
    void showWorkstationInventory(const WorkstationInventory& inventory) override {
        inventories.push_back(inventory);
    }
    void showHelp(const std::string& text) override { helpTexts.push_back(text); }
    void showAbout(const std::string& version) override { aboutTexts.push_back(version); }

    // Answers to askYesNo, front first; Yes when the queue is empty.
    std::deque<bool> answers;
    // Each dialog does what its function does with it; without one it is cancelled.
    std::function<bool(LoginDialogState&)> login;
    std::function<InventoryServerAnswer(InventoryServerDialogState&)> inventoryServer;
    std::function<bool(SaveContextDialogState&)> saveContext;
    std::function<bool(ChangeContextDialogState&)> changeContext;
    std::function<bool(ShortcutDialogState&)> shortcut;
    std::function<bool(SearchDialogState&)> search;
    std::function<bool(TreeDialogState&)> trees;

    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> helpTexts;
    std::vector<std::string> aboutTexts;
    std::vector<std::string> shownServers;  // what the inventory server dialog was opened with
    std::vector<std::string> shownNames;    // what the context dialogs were opened with
    std::vector<WorkstationInfo> infos;
    std::vector<WorkstationInventory> inventories;
    int loginDialogs = 0;
    int shortcutDialogs = 0;
    int searchDialogs = 0;
    int treeDialogs = 0;
    int waitCursorDepth = 0;
    int waitCursorUses = 0;
};

}  // namespace kestrel::browser::test
