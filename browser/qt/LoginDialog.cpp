#include "LoginDialog.h"

#include <QLineEdit>
#include <QPushButton>

namespace kestrel::browser::qt {

namespace {

QLineEdit* treeField(const std::string& tree) {
    auto* field = new QLineEdit(QString::fromStdString(tree));
    field->setReadOnly(true);
    return field;
}

}  // namespace

LoginDialog::LoginDialog(LoginDialogState& state, QWidget* parent)
    : AuthenticationDialog(treeField(state.tree()), parent), state_(state) {
    login_->setDefault(true);
    connect(login_, &QPushButton::clicked, this, &LoginDialog::login);
    user_->setFocus();
    mirror();
}

void LoginDialog::login() {
    const bool done = state_.login(user_->text().toStdString(), password_->text().toStdString());
    password_->clear();  // never kept longer than the attempt
    mirror();
    if (done) ok_->setDefault(true);
}

void LoginDialog::mirror() {
    login_->setEnabled(state_.loginEnabled());
    logout_->setEnabled(LoginDialogState::logoutEnabled());
    ok_->setEnabled(state_.okEnabled());
    cancel_->setEnabled(state_.cancelEnabled());
}

}  // namespace kestrel::browser::qt
