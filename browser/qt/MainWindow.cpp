// The window's controls and their layout.
#include "MainWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "Artwork.h"
#include "DialogKit.h"
#include "PictureButton.h"
#include "QtUi.h"

namespace kestrel::browser::qt {

namespace {

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return box;
}

}  // namespace

MainWindow::MainWindow(BrowserController& controller, QWidget* parent)
    : QDialog(parent, Qt::Window), controller_(controller) {
    setWindowTitle(kProgramName);
    setWindowIcon(programIcon());
    setSizeGripEnabled(true);
    for (int image = 0; image < kTreeImageCount; ++image) icons_[image] = treeIcon(image);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(buildTreePane());
    splitter->addWidget(buildButtonPane());
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);

    auto* bottom = new QHBoxLayout;
    for (Button which : {Button::Help, Button::About}) bottom->addWidget(button(which));
    bottom->addStretch();
    bottom->addWidget(button(Button::Ok));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(bottom);
    resize(860, 600);

    connectButtons();
    controller_.setView(this);
    controller_.setUp();
}

MainWindow::~MainWindow() {
    controller_.setView(nullptr);
}

QWidget* MainWindow::buildTreePane() {
    auto* pane = new QGroupBox(QStringLiteral("NDS Tree"), this);
    auto* layout = new QGridLayout(pane);

    treeField_ = readOnlyField(QStringLiteral("treeField"), pane);
    auto* ndsTree = new PictureButton(Picture::NdsTree, pane);
    ndsTree->setObjectName(QStringLiteral("ndsTreeButton"));
    ndsTree->setToolTip(QStringLiteral("Choose an NDS tree and log in"));
    buttons_[static_cast<std::size_t>(Button::NdsTree)] = ndsTree;
    layout->addWidget(new QLabel(QStringLiteral("Tree:"), pane), 0, 0, Qt::AlignRight);
    layout->addWidget(treeField_, 0, 1);
    layout->addWidget(ndsTree, 0, 2);

    tree_ = new QTreeWidget(pane);
    tree_->setObjectName(QStringLiteral("tree"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setUniformRowHeights(true);
    tree_->setExpandsOnDoubleClick(false);  // the first double-click lists instead
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setDragDropMode(QAbstractItemView::NoDragDrop);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setIconSize(QSize(16, 16));
    tree_->setMinimumSize(280, 240);
    tree_->installEventFilter(this);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { currentItemChanged(current); });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { itemDoubleClicked(item); });
    layout->addWidget(tree_, 1, 0, 1, 3);

    inventoryField_ = readOnlyField(QStringLiteral("inventoryServerField"), pane);
    auto* inventory = new PictureButton(Picture::InventoryServer, pane);
    inventory->setObjectName(QStringLiteral("inventoryServerButton"));
    inventory->setToolTip(QStringLiteral("Set the ZENworks inventory database server"));
    buttons_[static_cast<std::size_t>(Button::InventoryServer)] = inventory;
    layout->addWidget(new QLabel(QStringLiteral("ZEN Inventory Server:"), pane), 2, 0,
                      Qt::AlignRight);
    layout->addWidget(inventoryField_, 2, 1);
    layout->addWidget(inventory, 2, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(1, 1);
    return pane;
}

QWidget* MainWindow::buildButtonPane() {
    auto* pane = new QWidget(this);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    auto addGroup = [&](const QString& title, std::initializer_list<Button> members) {
        QGroupBox* box = group(title, pane);
        auto* grid = new QGridLayout(box);
        int index = 0;
        for (Button which : members) {
            grid->addWidget(textButton(which, box), index / 2, index % 2);
            ++index;
        }
        layout->addWidget(box);
    };
    addGroup(QStringLiteral("ZENworks Functions"),
             {Button::PingAgent, Button::RemoteControl, Button::RemoteView, Button::FileTransfer,
              Button::RemoteExecute, Button::Chat, Button::Diagnostics, Button::Inventory,
              Button::InventoryQuery});
    addGroup(QStringLiteral("Workstation Object"),
             {Button::WorkstationInfo, Button::WorkstationInventory, Button::IpPing, Button::WakeUp,
              Button::IpxPing});  // the hidden one last, leaving no gap
    addGroup(QStringLiteral("Start Context"),
             {Button::GotoStartContext, Button::ChangeStartContext, Button::SaveStartContext});
    addGroup(QStringLiteral("Tools"), {Button::CreateShortcut, Button::SearchWorkstation});
    layout->addStretch();

    for (Button which : {Button::Help, Button::About, Button::Ok}) textButton(which, this);

    // The function buttons share one width, so the groups line up as columns.
    int width = 0;
    for (QPushButton* each : pane->findChildren<QPushButton*>())
        width = std::max(width, each->sizeHint().width());
    for (QPushButton* each : pane->findChildren<QPushButton*>()) each->setMinimumWidth(width);
    return pane;
}

QAbstractButton* MainWindow::textButton(Button which, QWidget* parent) {
    const QString caption = QString::fromUtf8(buttonCaption(which).data());
    QAbstractButton* created = dialogButton(caption, caption, parent);
    buttons_[static_cast<std::size_t>(which)] = created;
    return created;
}

void MainWindow::connectButtons() {
    auto on = [this](Button which, std::function<void()> action) {
        connect(button(which), &QAbstractButton::clicked, this, std::move(action));
    };
    on(Button::GotoStartContext, [this] { controller_.gotoStartContext(); });
    on(Button::ChangeStartContext, [this] { controller_.changeStartContext(); });
    on(Button::SaveStartContext, [this] { controller_.saveStartContext(); });
    on(Button::Help, [this] { controller_.help(); });
    on(Button::About, [this] { controller_.about(); });
    on(Button::InventoryServer, [this] { controller_.inventoryServerButton(); });
    for (const WorkstationFunctionInfo& function : workstationFunctions()) {
        const WorkstationFunction which = function.function;
        on(functionButton(which), [this, which] { controller_.startFunction(which); });
    }
    on(Button::WorkstationInfo, [this] { controller_.workstationInfo(); });
    on(Button::WorkstationInventory, [this] { controller_.workstationInventory(); });
    on(Button::IpPing, [this] { controller_.ipPing(); });
    on(Button::CreateShortcut, [this] { controller_.createShortcut(); });
    on(Button::SearchWorkstation, [this] { controller_.searchWorkstation(); });
    on(Button::NdsTree, [this] { controller_.chooseTree(); });
    on(Button::Ok, [this] { accept(); });
}

void MainWindow::fieldsChanged() {
    treeField_->setText(QString::fromStdString(controller_.treeField()));
    inventoryField_->setText(QString::fromStdString(controller_.inventoryServerField()));
    const ButtonStates& states = controller_.buttons();
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        buttons_[i]->setEnabled(states[Button(i)].enabled);
        buttons_[i]->setVisible(states[Button(i)].visible);
    }
}

}  // namespace kestrel::browser::qt
