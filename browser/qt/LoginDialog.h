// "Kestrelscope: NDS Login Dialog" at start-up: logs in to the preselected tree. Its
// buttons follow the core's LoginDialogState.
#pragma once

#include <QDialog>

#include "DialogStates.h"

class QLineEdit;
class QPushButton;

namespace kestrel::browser::qt {

class LoginDialog : public QDialog {
  public:
    LoginDialog(LoginDialogState& state, QWidget* parent = nullptr);

  private:
    void login();
    void mirror();

    LoginDialogState& state_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* login_;
    QPushButton* logout_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace kestrel::browser::qt
