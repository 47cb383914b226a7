// The dialogs of the two tool buttons: "Kestrelscope: Shortcut Selection Dialog" for Create
// Desktop Shortcut and "Kestrelscope: Search Workstation Dialog". Both close with accept()
// for OK and Search, and leave their entry in the core's state.
#pragma once

#include <QDialog>

#include "window/DialogStates.h"
#include "workstation/DesktopShortcut.h"

namespace kestrel::browser::qt {

class ShortcutDialog : public QDialog {
  public:
    ShortcutDialog(ShortcutDialogState& state, QWidget* parent = nullptr);
};

class SearchDialog : public QDialog {
  public:
    SearchDialog(SearchDialogState& state, QWidget* parent = nullptr);
};

}  // namespace kestrel::browser::qt
