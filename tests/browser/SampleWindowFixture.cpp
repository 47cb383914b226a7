#include "SampleWindowFixture.h"

#include <QApplication>

namespace kestrel::browser::test {

void SampleWindowTest::TearDown() {
    window_.reset();
    SampleBrowserTest::TearDown();
}

qt::MainWindow& SampleWindowTest::openWindow() {
    controller_ = std::make_unique<BrowserController>(app_, ui_, SettingsFile());
    window_ = std::make_unique<qt::MainWindow>(*controller_);
    window_->show();
    QApplication::processEvents();
    return *window_;
}

QTreeWidgetItem* SampleWindowTest::topItem() const {
    return window_->treeWidget()->topLevelItem(0);
}

QTreeWidgetItem* SampleWindowTest::childNamed(QTreeWidgetItem* item, const QString& text) {
    for (int i = 0; item != nullptr && i < item->childCount(); ++i)
        if (item->child(i)->text(0) == text) return item->child(i);
    return nullptr;
}

QStringList SampleWindowTest::childTexts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << item->child(i)->text(0);
    return texts;
}

}  // namespace kestrel::browser::test
