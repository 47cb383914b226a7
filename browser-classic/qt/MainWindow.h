// The first edition's main window: the tree on the left, the function buttons on the right,
// laid out in dialog units. It renders the core's state and forwards every action to it.
#pragma once

#include <QDialog>
#include <QHash>
#include <functional>

#include "ClassicBrowser.h"

class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

namespace kestrel::classic {

class ClassicTreeWidget;

// The control identifiers of the window, kept in each control's "controlId" property.
enum ControlId {
    kIdOk = 1,
    kIdTree = 1001,
    kIdRemoteControl = 1002,
    kIdWorkstationInfos = 1003,
    kIdIpPing = 1004,
    kIdIpxPing = 1005,
    kIdTreeName = 1007,
    kIdChangeContext = 1012,
    kIdAbout = 1013,
    kIdSaveContext = 1015,
    kIdCreateShortcut = 1025,
    kIdWakeUp = 1032,
};

// The system-menu command of the About box.
inline constexpr int kAboutCommand = 16;

class MainWindow : public QDialog, private TreeObserver {
    Q_OBJECT

  public:
    explicit MainWindow(ClassicBrowser& browser, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Shows what the core holds after its start-up.
    void refresh();
    QTreeWidgetItem* itemFor(ItemId item) const;

  public slots:
    void showAbout();

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void createControls();
    // `action` runs on a click; none for the buttons the window handles itself.
    QPushButton* addButton(const QString& text, int id, QRect rect,
                           std::function<void(ClassicBrowser&)> action);

    void treeReset() override;
    void childrenChanged(ItemId parent) override;
    void selectionChanged(ItemId item) override;
    void addChildren(QTreeWidgetItem* parentItem, ItemId parent);
    void forget(QTreeWidgetItem* item);
    ItemId idOf(const QTreeWidgetItem* item) const;

    void onDoubleClicked(QTreeWidgetItem* item);
    void onDropped(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

    ClassicBrowser& browser_;
    QLineEdit* treeName_ = nullptr;
    ClassicTreeWidget* tree_ = nullptr;
    QPushButton* changeContext_ = nullptr;
    QPushButton* saveContext_ = nullptr;
    QPushButton* createShortcut_ = nullptr;
    QHash<ItemId, QTreeWidgetItem*> items_;
    bool rebuilding_ = false;
};

}  // namespace kestrel::classic
