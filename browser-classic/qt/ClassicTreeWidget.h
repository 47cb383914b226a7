// The main window's tree control: every key reports itself before the tree handles it, and
// items are dragged with the left or the right mouse button onto other items.
#pragma once

#include <QPoint>
#include <QTreeWidget>

namespace kestrel::classic {

class ClassicTreeWidget : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ClassicTreeWidget(QWidget* parent = nullptr);

  signals:
    void keyPressed();
    // A double-click with the left button on an item.
    void itemActivated(QTreeWidgetItem* item);
    // `target` is null when the item was let go over no item.
    void itemDropped(QTreeWidgetItem* dragged, QTreeWidgetItem* target);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void endDrag();
    // Marks the item a drop would go to, as the selection colours it.
    void highlightDropTarget(QTreeWidgetItem* target);

    QTreeWidgetItem* pressedItem_ = nullptr;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint pressPosition_;
    QTreeWidgetItem* dropTarget_ = nullptr;
    bool dragging_ = false;
};

}  // namespace kestrel::classic
