// The About box: the program icon, its name and version.
#pragma once

#include <QDialog>

namespace kestrel::classic {

inline constexpr const char* kVersionText = "Version 1.2 Rev.A";

class AboutDialog : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace kestrel::classic
