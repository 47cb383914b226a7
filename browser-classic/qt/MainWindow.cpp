#include "MainWindow.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <functional>

#include "AboutDialog.h"
#include "ClassicTreeWidget.h"
#include "DialogUnits.h"
#include "TreeImages.h"

namespace kestrel::classic {

namespace {

constexpr int kIdRole = Qt::UserRole;

void setControlId(QWidget* widget, int id, const char* name) {
    widget->setProperty("controlId", id);
    widget->setObjectName(QString::fromLatin1(name));
}

}  // namespace

MainWindow::MainWindow(ClassicBrowser& browser, QWidget* parent)
    : QDialog(parent), browser_(browser) {
    setWindowTitle(QStringLiteral("Kestrelscope"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(dialogSize(377, 276));
    setFont(dialogFont());
    createControls();
    browser_.setObserver(this);
}

MainWindow::~MainWindow() {
    browser_.setObserver(nullptr);
}

void MainWindow::createControls() {
    auto* label = new QLabel(QStringLiteral("NDS Tree:"), this);
    label->setGeometry(dialogRect(5, 5, 35, 8));

    treeName_ = new QLineEdit(this);
    treeName_->setReadOnly(true);
    treeName_->setGeometry(dialogRect(45, 5, 80, 12));
    setControlId(treeName_, kIdTreeName, "treeName");

    tree_ = new ClassicTreeWidget(this);
    tree_->setGeometry(dialogRect(5, 20, 245, 245));
    tree_->setIconSize(QSize(kTreeImageSize, kTreeImageSize));
    setControlId(tree_, kIdTree, "tree");
    connect(tree_, &ClassicTreeWidget::itemActivated, this, &MainWindow::onDoubleClicked);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (!rebuilding_) browser_.select(idOf(current));
    });
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!rebuilding_) browser_.setExpanded(idOf(item), true);
    });
    connect(tree_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (!rebuilding_) browser_.setExpanded(idOf(item), false);
    });
    connect(tree_, &ClassicTreeWidget::keyPressed, this, [this] { browser_.keyPressed(); });
    connect(tree_, &ClassicTreeWidget::itemDropped, this, &MainWindow::onDropped);

    auto* functions = new QGroupBox(QStringLiteral("Workstation Functions"), this);
    functions->setGeometry(dialogRect(255, 15, 115, 115));
    addButton(QStringLiteral("Remote Control"), kIdRemoteControl, dialogRect(260, 25, 105, 14),
              &ClassicBrowser::remoteControl);
    addButton(QStringLiteral("Workstation NDS Infos"), kIdWorkstationInfos,
              dialogRect(260, 45, 105, 14), &ClassicBrowser::workstationInfos);
    addButton(QStringLiteral("IP Ping"), kIdIpPing, dialogRect(260, 65, 105, 14),
              &ClassicBrowser::ipPing);
    // No IPX function is offered: the button stays for the layout only.
    addButton(QStringLiteral("IPX Ping"), kIdIpxPing, dialogRect(260, 85, 105, 14), nullptr)
        ->setEnabled(false);
    addButton(QStringLiteral("WakeUp PC (via IP)"), kIdWakeUp, dialogRect(260, 105, 105, 14),
              &ClassicBrowser::wakeUp);

    auto* general = new QGroupBox(QStringLiteral("General Administration"), this);
    general->setGeometry(dialogRect(255, 150, 115, 70));
    changeContext_ = addButton(QStringLiteral("Change Start Context"), kIdChangeContext,
                               dialogRect(260, 160, 105, 14), &ClassicBrowser::changeStartContext);
    saveContext_ = addButton(QStringLiteral("Save Start Context"), kIdSaveContext,
                             dialogRect(260, 180, 105, 14), &ClassicBrowser::saveStartContext);
    createShortcut_ = addButton(QStringLiteral("Create a Desktop Shortcut"), kIdCreateShortcut,
                                dialogRect(260, 200, 105, 14), &ClassicBrowser::createShortcut);

    connect(addButton(QStringLiteral("About"), kIdAbout, dialogRect(290, 230, 50, 14), nullptr),
            &QPushButton::clicked, this, &MainWindow::showAbout);
    QPushButton* ok = addButton(QStringLiteral("OK"), kIdOk, dialogRect(290, 250, 50, 14), nullptr);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // Buttons are drawn over the group frames they sit in.
    functions->lower();
    general->lower();
}

QPushButton* MainWindow::addButton(const QString& text, int id, QRect rect,
                                   std::function<void(ClassicBrowser&)> action) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    button->setProperty("controlId", id);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    if (action)
        connect(button, &QPushButton::clicked, this,
                [this, action = std::move(action)] { action(browser_); });
    return button;
}

void MainWindow::refresh() {
    treeName_->setText(QString::fromStdString(browser_.treeNameText()));
    changeContext_->setEnabled(!browser_.switches().noChange);
    saveContext_->setEnabled(!browser_.switches().noSave);
    createShortcut_->setEnabled(!browser_.switches().noCreate);
    treeReset();
    selectionChanged(browser_.selected());
}

void MainWindow::showAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // A window manager's system menu cannot be extended from here, so the window's own
    // menu carries the entry.
    QMenu menu(this);
    QAction* about = menu.addAction(QStringLiteral("Inf&o über Kestrelscope..."));
    about->setData(kAboutCommand);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
    menu.exec(event->globalPos());
}

ItemId MainWindow::idOf(const QTreeWidgetItem* item) const {
    return item == nullptr ? kNoItem : item->data(0, kIdRole).value<ItemId>();
}

QTreeWidgetItem* MainWindow::itemFor(ItemId item) const {
    return items_.value(item, nullptr);
}

void MainWindow::forget(QTreeWidgetItem* item) {
    items_.remove(idOf(item));
    for (int i = 0; i < item->childCount(); ++i) forget(item->child(i));
}

void MainWindow::addChildren(QTreeWidgetItem* parentItem, ItemId parent) {
    const TreeModel& model = browser_.tree();
    const auto& images = treeImages();
    QList<QTreeWidgetItem*> created;
    created.reserve(static_cast<qsizetype>(model.children(parent).size()));
    for (ItemId child : model.children(parent)) {
        auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(model.text(child))));
        item->setData(0, kIdRole, QVariant::fromValue(child));
        int image = model.image(child);
        if (image >= 0 && image < images.size()) item->setIcon(0, QIcon(images[image]));
        items_.insert(child, item);
        created.push_back(item);
    }
    if (parentItem == nullptr)
        tree_->addTopLevelItems(created);
    else
        parentItem->addChildren(created);
    for (QTreeWidgetItem* item : created) {
        ItemId child = idOf(item);
        addChildren(item, child);
        item->setExpanded(model.expanded(child));
    }
}

void MainWindow::treeReset() {
    rebuilding_ = true;
    items_.clear();
    tree_->clear();
    addChildren(nullptr, kNoItem);
    rebuilding_ = false;
}

void MainWindow::childrenChanged(ItemId parent) {
    QTreeWidgetItem* parentItem = itemFor(parent);
    if (parentItem == nullptr) {
        treeReset();
        return;
    }
    rebuilding_ = true;
    for (QTreeWidgetItem* child : parentItem->takeChildren()) {
        forget(child);
        delete child;
    }
    addChildren(parentItem, parent);
    parentItem->setExpanded(browser_.tree().expanded(parent));
    rebuilding_ = false;
}

void MainWindow::selectionChanged(ItemId item) {
    rebuilding_ = true;
    QTreeWidgetItem* selected = itemFor(item);
    tree_->setCurrentItem(selected);
    if (selected != nullptr) tree_->scrollToItem(selected);
    rebuilding_ = false;
}

void MainWindow::onDoubleClicked(QTreeWidgetItem* item) {
    ItemId id = idOf(item);
    if (browser_.activate(id)) return;
    // Already listed: the double-click opens or closes the item as usual.
    if (item->childCount() > 0) item->setExpanded(!item->isExpanded());
}

void MainWindow::onDropped(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    if (dragged != nullptr && target != nullptr) browser_.drop(idOf(dragged), idOf(target));
}

}  // namespace kestrel::classic
