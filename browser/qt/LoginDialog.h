// "Kestrelscope: NDS Login Dialog" at start-up: logs in to the preselected tree. Its
// buttons follow the core's LoginDialogState.
#pragma once

#include "AuthenticationDialog.h"
#include "window/DialogStates.h"

namespace kestrel::browser::qt {

class LoginDialog : public AuthenticationDialog {
  public:
    LoginDialog(LoginDialogState& state, QWidget* parent = nullptr);

  private:
    void login();
    void mirror();

    LoginDialogState& state_;
};

}  // namespace kestrel::browser::qt
