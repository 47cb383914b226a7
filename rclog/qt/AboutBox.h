// "About Quillbox ...": the icon, the version and the legal notice.
#pragma once

#include <QDialog>

class QLabel;

namespace kestrel::rclog {

class AboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit AboutBox(const QString& legalNotice, QWidget* parent = nullptr);
};

}  // namespace kestrel::rclog
