// The tree widget following the core's tree, and the tree's own events.
#include <QKeyEvent>
#include <QTreeWidget>

#include "MainWindow.h"

namespace kestrel::browser::qt {

namespace {

// Restores the flag on every way out, so a model change never loops back as an event.
class Following {
  public:
    explicit Following(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~Following() { flag_ = previous_; }
    Following(const Following&) = delete;
    Following& operator=(const Following&) = delete;

  private:
    bool& flag_;
    bool previous_;
};

}  // namespace

QTreeWidgetItem* MainWindow::makeItem(const TreeItem& item) {
    auto* created = new QTreeWidgetItem;
    created->setText(0, QString::fromStdString(item.text()));
    int image = item.image() >= 0 && item.image() < kTreeImageCount ? item.image() : kImageUnknown;
    created->setIcon(0, icons_[image]);
    created->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&item)));
    items_.insert(&item, created);
    return created;
}

TreeItem* MainWindow::modelItem(QTreeWidgetItem* item) const {
    if (item == nullptr) return nullptr;
    return reinterpret_cast<TreeItem*>(item->data(0, Qt::UserRole).value<quintptr>());
}

void MainWindow::treeReset(const TreeItem* top) {
    Following following(following_);
    tree_->clear();
    items_.clear();
    if (top != nullptr) tree_->addTopLevelItem(makeItem(*top));
}

void MainWindow::childrenInserted(const TreeItem& parent) {
    Following following(following_);
    QTreeWidgetItem* widgetParent = items_.value(&parent);
    if (widgetParent == nullptr) return;
    // One batch in the model's order: thousands of children arrive in one go.
    widgetParent->takeChildren();  // each comes back below, in its new place
    QList<QTreeWidgetItem*> ordered;
    ordered.reserve(static_cast<qsizetype>(parent.childCount()));
    for (std::size_t i = 0; i < parent.childCount(); ++i) {
        const TreeItem& child = parent.child(i);
        QTreeWidgetItem* existing = items_.value(&child);
        ordered.append(existing != nullptr ? existing : makeItem(child));
    }
    widgetParent->addChildren(ordered);
}

void MainWindow::itemExpanded(const TreeItem& item) {
    Following following(following_);
    if (QTreeWidgetItem* shown = items_.value(&item)) shown->setExpanded(true);
}

void MainWindow::selectionChanged(const TreeItem* item) {
    Following following(following_);
    QTreeWidgetItem* shown = item != nullptr ? items_.value(item) : nullptr;
    tree_->setCurrentItem(shown);
    if (shown != nullptr) tree_->scrollToItem(shown);
}

void MainWindow::currentItemChanged(QTreeWidgetItem* current) {
    if (!following_) controller_.select(modelItem(current));
}

void MainWindow::itemDoubleClicked(QTreeWidgetItem* item) {
    controller_.select(modelItem(item));
    // The first double-click lists the item and leaves it expanded; later ones toggle it.
    if (!controller_.listSelected() && items_.value(controller_.tree().selected()) == item)
        item->setExpanded(!item->isExpanded());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != tree_ || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace) {
        controller_.keyPressed(kBackspaceKey);
        return true;
    }
    if (key->key() == Qt::Key_Plus && key->modifiers().testFlag(Qt::KeypadModifier)) {
        controller_.keyPressed(kKeypadPlusKey);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter in the tree acts on the item instead of closing the window.
        if (QTreeWidgetItem* current = tree_->currentItem()) itemDoubleClicked(current);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kestrel::browser::qt
