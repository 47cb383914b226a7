// The browser's main window: the tree with its fields and picture buttons, and the buttons
// of every function. It shows what the BrowserController holds and hands it every event.
#pragma once

#include <QDialog>
#include <QHash>
#include <array>

#include "window/BrowserController.h"
#include "window/TreeImages.h"

class QAbstractButton;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace kestrel::browser::qt {

class MainWindow : public QDialog, private MainView {
  public:
    // Runs the controller's set-up, which may ask for a login before the window shows.
    explicit MainWindow(BrowserController& controller, QWidget* parent = nullptr);
    ~MainWindow() override;

    QTreeWidget* treeWidget() const { return tree_; }
    QAbstractButton* button(Button which) const {
        return buttons_[static_cast<std::size_t>(which)];
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildTreePane();
    QWidget* buildButtonPane();
    QAbstractButton* textButton(Button which, QWidget* parent);
    void connectButtons();

    // MainView
    void fieldsChanged() override;
    void treeReset(const TreeItem* top) override;
    void childrenInserted(const TreeItem& parent) override;
    void itemExpanded(const TreeItem& item) override;
    void selectionChanged(const TreeItem* item) override;

    QTreeWidgetItem* makeItem(const TreeItem& item);
    TreeItem* modelItem(QTreeWidgetItem* item) const;
    void currentItemChanged(QTreeWidgetItem* current);
    void itemDoubleClicked(QTreeWidgetItem* item);

    BrowserController& controller_;
    std::array<QIcon, kTreeImageCount> icons_;
    QLineEdit* treeField_ = nullptr;
    QLineEdit* inventoryField_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::array<QAbstractButton*, kButtonCount> buttons_{};
    QHash<const TreeItem*, QTreeWidgetItem*> items_;
    bool following_ = false;  // true while the widget follows the model
};

}  // namespace kestrel::browser::qt
