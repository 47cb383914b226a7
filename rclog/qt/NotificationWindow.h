// The small window that tells the person a session is being recorded: a caption bar only,
// at the bottom left of the screen.
#pragma once

#include <QWidget>

namespace kestrel::rclog {

class NotificationWindow : public QWidget {
    Q_OBJECT
  public:
    NotificationWindow();

    // Captions the window and sizes it to the caption: never narrower than its dialog size,
    // and wide enough that a window manager's title bar, with the icon and whatever buttons it
    // adds, shows the whole text. The size is fixed, so no maximising is offered.
    void setCaption(const QString& caption);

    // Left edge 2 pixels from the screen's left, bottom edge 2 pixels above its bottom, frame
    // included.
    void placeAtBottomLeft();

  protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    QSize placedFrame_;
};

}  // namespace kestrel::rclog
