#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "ui/Ui.h"

class QLineEdit;
class QPushButton;

namespace kestrel::setup {

// Asks for one line of text: the request's prompt over a text box holding its preset, OK
// (only while the box holds more than blanks) and Cancel; modal to the installer window,
// centred over it.
class TextDialog : public QDialog {
    Q_OBJECT
  public:
    explicit TextDialog(const TextRequest& request, QWidget* parent = nullptr);

    // Shows the dialog until it ends: the text confirmed, or nullopt for Cancel.
    std::optional<std::string> run();
    // The text as it stands, blanks at either end removed.
    std::string text() const;

    QLineEdit* edit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }

  private:
    QLineEdit* edit_;
    QPushButton* ok_;
};

}  // namespace kestrel::setup
