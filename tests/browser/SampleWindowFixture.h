// Qt tests on the bundled sample directory: a private home, the sample's client
// configuration, and a main window built over a controller whose questions are scripted.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTreeWidget>
#include <memory>

#include "BrowserController.h"
#include "MainWindow.h"
#include "ScriptedUi.h"
#include "TestSupport.h"

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace kestrel::browser::test {

class SampleWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Logs in to ACME_TREE as the sample's demo user through the client.
    void logInAsDemo();
    qt::MainWindow& openWindow();

    QTreeWidgetItem* topItem() const;
    static QTreeWidgetItem* childNamed(QTreeWidgetItem* item, const QString& text);
    static QStringList childTexts(QTreeWidgetItem* item);
    bool enabled(Button button) const { return window_->button(button)->isEnabled(); }

    kestrel::test::TempDir temp_;
    kestrel::test::ScopedEnvironment environment_;
    ScriptedUi ui_;
    CKestrelscopeApp app_;
    std::unique_ptr<BrowserController> controller_;
    std::unique_ptr<qt::MainWindow> window_;
};

}  // namespace kestrel::browser::test
