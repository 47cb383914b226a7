#include "AuthenticationDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Artwork.h"
#include "DialogKit.h"

namespace kestrel::browser::qt {

namespace {

QLabel* picture(Decoration which, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(decoration(which));
    return label;
}

}  // namespace

AuthenticationDialog::AuthenticationDialog(QWidget* tree, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Kestrelscope: NDS Login Dialog"));

    auto* frame = new QGroupBox(QStringLiteral("NDS Authentication"), this);
    auto* fields = new QGridLayout(frame);
    tree->setParent(frame);
    tree->setObjectName(QStringLiteral("tree"));
    user_ = new QLineEdit(frame);
    user_->setObjectName(QStringLiteral("user"));
    password_ = new QLineEdit(frame);
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    const std::pair<Decoration, QString> rows[] = {
        {Decoration::Tree, QStringLiteral("&Tree:")},
        {Decoration::User, QStringLiteral("&User:")},
        {Decoration::Alias, QStringLiteral("&Password:")}};
    QWidget* edits[] = {tree, user_, password_};
    for (int row = 0; row < 3; ++row) {
        fields->addWidget(picture(rows[row].first, frame), row, 0);
        auto* label = new QLabel(rows[row].second, frame);
        label->setBuddy(edits[row]);
        fields->addWidget(label, row, 1);
        fields->addWidget(edits[row], row, 2);
    }
    fields->setColumnMinimumWidth(2, 240);

    login_ = dialogButton(QStringLiteral("&Login"), QStringLiteral("login"), this);
    logout_ = dialogButton(QStringLiteral("Log&out"), QStringLiteral("logout"), this);
    ok_ = dialogButton(QStringLiteral("OK"), QStringLiteral("ok"), this);
    cancel_ = dialogButton(QStringLiteral("Cancel"), QStringLiteral("cancel"), this);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttonColumn({login_, logout_, ok_, cancel_}));

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace kestrel::browser::qt
