// "Kestrelscope: Change Context Dialog" and "Kestrelscope: Save Context Dialog".
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace kestrel::classic {

class ChangeContextDialog : public QDialog {
    Q_OBJECT

  public:
    ChangeContextDialog(const QString& context, QWidget* parent = nullptr);
    QString context() const;

  private:
    QLineEdit* field_;
};

class SaveContextDialog : public QDialog {
    Q_OBJECT

  public:
    SaveContextDialog(const QString& context, QWidget* parent = nullptr);
};

}  // namespace kestrel::classic
