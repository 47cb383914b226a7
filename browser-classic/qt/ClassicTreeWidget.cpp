#include "ClassicTreeWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleFactory>

namespace kestrel::classic {

ClassicTreeWidget::ClassicTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The right button drags items here; the window's own menu belongs to its background.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // A style that draws the lines between the items.
    if (QStyle* lines = QStyleFactory::create(QStringLiteral("Windows"))) {
        lines->setParent(this);
        setStyle(lines);
    }
}

void ClassicTreeWidget::keyPressEvent(QKeyEvent* event) {
    // Tab, Return and Escape belong to the window (focus, default button, closing), as they
    // never reach a tree control inside a dialog.
    // Alt and F10 are system keys that never reach the tree either.
    if (event->modifiers().testFlag(Qt::AltModifier) || event->key() == Qt::Key_F10) {
        QTreeWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            break;
        default:
            emit keyPressed();
            break;
    }
    QTreeWidget::keyPressEvent(event);
}

void ClassicTreeWidget::mousePressEvent(QMouseEvent* event) {
    if (!dragging_ && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)) {
        pressedItem_ = itemAt(event->position().toPoint());
        dragButton_ = event->button();
        pressPosition_ = event->position().toPoint();
    }
    QTreeWidget::mousePressEvent(event);
}

void ClassicTreeWidget::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (pressedItem_ != nullptr && !dragging_ &&
        (at - pressPosition_).manhattanLength() >= QApplication::startDragDistance()) {
        dragging_ = true;
        setCursor(Qt::DragMoveCursor);
    }
    if (dragging_) {
        highlightDropTarget(itemAt(at));
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void ClassicTreeWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != dragButton_) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    if (dragging_) {
        QTreeWidgetItem* dragged = pressedItem_;
        QTreeWidgetItem* target = itemAt(event->position().toPoint());
        endDrag();
        event->accept();
        emit itemDropped(dragged, target);
        return;
    }
    endDrag();
    QTreeWidget::mouseReleaseEvent(event);
}

void ClassicTreeWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The window decides what a double-click does (list, then open or close), wherever the
    // first click of the pair went.
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && item != nullptr) {
        event->accept();
        emit itemActivated(item);
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void ClassicTreeWidget::highlightDropTarget(QTreeWidgetItem* target) {
    if (target == dropTarget_) return;
    if (dropTarget_ != nullptr) {
        dropTarget_->setBackground(0, QBrush());
        dropTarget_->setForeground(0, QBrush());
    }
    dropTarget_ = target;
    if (dropTarget_ != nullptr) {
        dropTarget_->setBackground(0, palette().highlight());
        dropTarget_->setForeground(0, palette().highlightedText());
    }
}

void ClassicTreeWidget::endDrag() {
    highlightDropTarget(nullptr);
    if (dragging_) unsetCursor();
    dragging_ = false;
    pressedItem_ = nullptr;
    dragButton_ = Qt::NoButton;
}

}  // namespace kestrel::classic
