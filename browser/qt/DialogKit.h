// Pieces every dialog of the browser is built from.
#pragma once

#include <QString>
#include <initializer_list>

class QBoxLayout;
class QDialog;
class QLineEdit;
class QPushButton;
class QWidget;

namespace kestrel::browser::qt {

// A push button that Enter does not press unless it is made the default; `name` lets tests
// find it.
QPushButton* dialogButton(const QString& text, const QString& name, QWidget* parent);

// A field that shows a value and cannot be edited; `name` lets tests find it.
QLineEdit* readOnlyField(const QString& name, QWidget* parent);

// An OK button that closes `dialog`, at the right end of a last row added to `layout`.
void addOkRow(QDialog* dialog, QBoxLayout* layout);

// The buttons one below the other, pushed to the top.
QBoxLayout* buttonColumn(std::initializer_list<QPushButton*> buttons);

}  // namespace kestrel::browser::qt
