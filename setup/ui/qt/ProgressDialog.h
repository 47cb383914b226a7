#pragma once

#include <QDialog>
#include <functional>

#include "wizard/ProgressView.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kestrel::setup {

class ElidedLabel;

// The modeless progress window of the installation's work. It shows what the core's
// ProgressView says; Cancel only records the press, which the core collects through
// takeCancel() and confirms itself.
class ProgressDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    void show(const ProgressView& view);
    // True once after Cancel (or Escape, or Close) was pressed.
    bool takeCancel();

    QLabel* firstLabel() const { return firstLabel_; }
    ElidedLabel* first() const { return first_; }
    QLabel* secondLabel() const { return secondLabel_; }
    ElidedLabel* second() const { return second_; }
    QLabel* meter() const { return meter_; }
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }

    void reject() override;

  private:
    QLabel* firstLabel_;
    ElidedLabel* first_;
    QLabel* secondLabel_;
    ElidedLabel* second_;
    QLabel* meter_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QPushButton* help_;
    std::function<void()> helpAction_;
    bool cancelled_ = false;
};

}  // namespace kestrel::setup
