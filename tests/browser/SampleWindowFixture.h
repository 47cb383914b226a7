// Qt tests on the bundled sample directory: a main window built over a controller whose
// questions are scripted.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "MainWindow.h"
#include "SampleBrowserFixture.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace kestrel::browser::test {

// The controls both "Kestrelscope: NDS Login Dialog"s share, found by their names.
struct LoginControls {
    explicit LoginControls(const QWidget& dialog)
        : user(dialog.findChild<QLineEdit*>("user")),
          password(dialog.findChild<QLineEdit*>("password")),
          login(dialog.findChild<QPushButton*>("login")),
          logout(dialog.findChild<QPushButton*>("logout")),
          ok(dialog.findChild<QPushButton*>("ok")),
          cancel(dialog.findChild<QPushButton*>("cancel")) {}
    QLineEdit* user;
    QLineEdit* password;
    QPushButton* login;
    QPushButton* logout;
    QPushButton* ok;
    QPushButton* cancel;
};

class SampleWindowTest : public SampleBrowserTest {
  protected:
    void TearDown() override;

    qt::MainWindow& openWindow();

    QTreeWidgetItem* topItem() const;
    static QTreeWidgetItem* childNamed(QTreeWidgetItem* item, const QString& text);
    static QStringList childTexts(QTreeWidgetItem* item);
    bool enabled(Button button) const { return window_->button(button)->isEnabled(); }

    std::unique_ptr<qt::MainWindow> window_;
};

}  // namespace kestrel::browser::test
