// The stand-in's window: what was asked, on what, in which tree, and a Close button.
#pragma once

#include <QDialog>

#include "Ui.h"

class QDialogButtonBox;
class QFormLayout;
class QLabel;

namespace kestrel::rmviewer {

class ViewerWindow : public QDialog, public Ui {
    Q_OBJECT

  public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    // Fills the window and shows it.
    void present(const Summary& summary) override;

  private:
    QLabel* icon_;
    QLabel* heading_;
    QLabel* purpose_;
    QFormLayout* rows_;
    QLabel* notes_;
    QDialogButtonBox* buttons_;
};

}  // namespace kestrel::rmviewer
