// What both "Kestrelscope: NDS Login Dialog"s share: the "NDS Authentication" frame with a
// picture beside the Tree, User and Password rows, and the column of Login, Logout, OK and
// Cancel. The dialogs differ in their tree field and in the rules their buttons follow.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kestrel::browser::qt {

class AuthenticationDialog : public QDialog {
  protected:
    // Builds the dialog around `tree`, the field of the first row, which it takes over.
    AuthenticationDialog(QWidget* tree, QWidget* parent);

    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* login_;
    QPushButton* logout_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace kestrel::browser::qt
