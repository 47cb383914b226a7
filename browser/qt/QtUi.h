// The browser's Ui on Qt: message boxes captioned with the program's name, the wait cursor
// and the modal dialogs.
#pragma once

#include <QString>

#include "Ui.h"

class QWidget;

namespace kestrel::browser::qt {

inline const QString kProgramName = QStringLiteral("Kestrelscope");

class QtUi : public Ui {
  public:
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    bool runLoginDialog(LoginDialogState& dialog) override;
    InventoryServerAnswer runInventoryServerDialog(InventoryServerDialogState& dialog) override;
    bool runSaveContextDialog(SaveContextDialogState& dialog) override;
    bool runChangeContextDialog(ChangeContextDialogState& dialog) override;
    bool runShortcutDialog(ShortcutDialogState& dialog) override;
    bool runSearchDialog(SearchDialogState& dialog) override;
    bool runTreeDialog(TreeDialogState& dialog) override;
    void showWorkstationInfo(const WorkstationInfo& info) override;
    void showWorkstationInventory(const WorkstationInventory& inventory) override;
    void showHelp(const std::string& text) override;
    void showAbout(const std::string& version) override;

  private:
    // The window a dialog belongs to: the topmost modal one, else the active window.
    static QWidget* owner();
};

}  // namespace kestrel::browser::qt
