// The two dialogs of the start context: "Kestrelscope: Save Context Dialog" and
// "Kestrelscope: Change Context Dialog". Both close with accept() for SAVE and SET.
#pragma once

#include <QDialog>

#include "window/DialogStates.h"

class QLineEdit;

namespace kestrel::browser::qt {

class SaveContextDialog : public QDialog {
  public:
    SaveContextDialog(SaveContextDialogState& state, QWidget* parent = nullptr);
};

class ChangeContextDialog : public QDialog {
  public:
    ChangeContextDialog(ChangeContextDialogState& state, QWidget* parent = nullptr);
};

}  // namespace kestrel::browser::qt
