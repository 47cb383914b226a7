// A button that shows one of four bitmaps: up, down, focus (up with a focus mark) and
// disabled.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include "Artwork.h"

namespace kestrel::browser::qt {

class PictureButton : public QAbstractButton {
  public:
    PictureButton(Picture picture, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap up_;
    QPixmap down_;
    QPixmap focus_;
    QPixmap disabled_;
};

}  // namespace kestrel::browser::qt
