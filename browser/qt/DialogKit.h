// Pieces every dialog of the browser is built from.
#pragma once

#include <QString>
#include <initializer_list>

class QBoxLayout;
class QPushButton;
class QWidget;

namespace kestrel::browser::qt {

// A push button that Enter does not press unless it is made the default; `name` lets tests
// find it.
QPushButton* dialogButton(const QString& text, const QString& name, QWidget* parent);

// The buttons one below the other, pushed to the top.
QBoxLayout* buttonColumn(std::initializer_list<QPushButton*> buttons);

}  // namespace kestrel::browser::qt
