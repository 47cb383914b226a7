#include "DialogKit.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel::browser::qt {

QPushButton* dialogButton(const QString& text, const QString& name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QBoxLayout* buttonColumn(std::initializer_list<QPushButton*> buttons) {
    auto* column = new QVBoxLayout;
    for (QPushButton* button : buttons) column->addWidget(button);
    column->addStretch();
    return column;
}

}  // namespace kestrel::browser::qt
