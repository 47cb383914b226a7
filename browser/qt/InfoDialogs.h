// "Kestrelscope: Help Dialog" with the command-line summary, and the About box.
#pragma once

#include <QDialog>

namespace kestrel::browser::qt {

class HelpDialog : public QDialog {
  public:
    // `text`: the usage line, a blank line, then one "switch<TAB>description" line each.
    HelpDialog(const QString& text, QWidget* parent = nullptr);
};

class AboutDialog : public QDialog {
  public:
    AboutDialog(const QString& version, QWidget* parent = nullptr);
};

}  // namespace kestrel::browser::qt
