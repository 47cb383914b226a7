#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "messages/MessageLayout.h"

class QPushButton;

namespace kestrel::setup {

// One message box, laid out by layoutMessageBox in the dialog units of its font. Buttons
// end the box with their number, except Help (9), which asks for help and keeps the box
// open; Escape and Close press button 2 and do nothing in a box without one.
class MessageDialog : public QDialog {
    Q_OBJECT
  public:
    MessageDialog(const MessageBoxRequest& box, std::function<void()> help,
                  QWidget* parent = nullptr);

    const MessageLayout& boxLayout() const { return layout_; }
    DialogBaseUnits baseUnits() const { return base_; }
    QPushButton* button(int id) const;

    // Places the box as the installer does (centred, x on 8 pixels) and beeps the icon's
    // sound.
    void showEvent(QShowEvent* event) override;

  public slots:
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void press(int id);

    MessageBoxRequest box_;
    std::function<void()> help_;
    DialogBaseUnits base_;
    MessageLayout layout_;
    std::vector<std::pair<int, QPushButton*>> buttons_;
};

}  // namespace kestrel::setup
