#include "TreeDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace kestrel::browser::qt {

namespace {

QComboBox* treeList(const TreeDialogState& state) {
    auto* list = new QComboBox;
    for (const std::string& tree : state.trees()) list->addItem(QString::fromStdString(tree));
    list->setCurrentIndex(static_cast<int>(state.chosenIndex()));
    return list;
}

}  // namespace

TreeDialog::TreeDialog(TreeDialogState& state, QWidget* parent)
    : AuthenticationDialog(treeList(state), parent),
      state_(state),
      trees_(findChild<QComboBox*>(QStringLiteral("tree"))) {
    connect(trees_, &QComboBox::currentIndexChanged, this, &TreeDialog::choose);
    connect(login_, &QPushButton::clicked, this, &TreeDialog::login);
    connect(logout_, &QPushButton::clicked, this, &TreeDialog::logout);
    mirror();
}

void TreeDialog::choose(int index) {
    if (index >= 0) state_.choose(static_cast<std::size_t>(index));
    mirror();
}

void TreeDialog::login() {
    state_.login(user_->text().toStdString(), password_->text().toStdString());
    password_->clear();  // never kept longer than the attempt
    mirror();
}

void TreeDialog::logout() {
    state_.logout();
    mirror();
}

void TreeDialog::mirror() {
    const QString user = QString::fromStdString(state_.user());
    if (user_->text() != user) user_->setText(user);
    user_->setEnabled(state_.userEnabled());
    password_->setEnabled(state_.passwordEnabled());
    login_->setEnabled(state_.loginEnabled());
    logout_->setEnabled(state_.logoutEnabled());
    ok_->setEnabled(state_.okEnabled());
    // Enter logs in while that is what the dialog waits for, and closes it after.
    login_->setDefault(state_.loginEnabled());
    ok_->setDefault(!state_.loginEnabled() && state_.okEnabled());
    if (state_.userEnabled()) user_->setFocus();
}

}  // namespace kestrel::browser::qt
