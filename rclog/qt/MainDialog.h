// The main dialog, seen only when the start log cannot be opened: the red warning, OK to try
// the session again, Cancel to give up. Linux window managers differ in what a window's
// system menu holds, so the dialog carries its own: from the icon button at its top left and
// from its context menu, with the About entry.
#pragma once

#include <QDialog>

class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace kestrel::rclog {

class MainDialog : public QDialog {
    Q_OBJECT
  public:
    explicit MainDialog(QString legalNotice, QWidget* parent = nullptr);

    QLabel* warning() const { return warning_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QMenu* systemMenu() const { return menu_; }
    QToolButton* menuButton() const { return menuButton_; }

  public slots:
    void showAbout();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QString legalNotice_;
    QLabel* warning_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QMenu* menu_;
    QToolButton* menuButton_;
};

}  // namespace kestrel::rclog
