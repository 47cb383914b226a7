// "Kestrelscope: NDS Login Dialog" of the NDS tree button: the trees on the network, login
// and logout for the one chosen, OK to switch the browser to it. It mirrors the core's
// TreeDialogState.
#pragma once

#include "AuthenticationDialog.h"
#include "window/TreeDialogState.h"

class QComboBox;

namespace kestrel::browser::qt {

class TreeDialog : public AuthenticationDialog {
  public:
    TreeDialog(TreeDialogState& state, QWidget* parent = nullptr);

  private:
    void choose(int index);
    void login();
    void logout();
    void mirror();

    TreeDialogState& state_;
    QComboBox* trees_;
};

}  // namespace kestrel::browser::qt
