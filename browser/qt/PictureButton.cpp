#include "PictureButton.h"

#include <QPainter>

namespace kestrel::browser::qt {

PictureButton::PictureButton(Picture picture, QWidget* parent)
    : QAbstractButton(parent),
      up_(buttonPicture(picture, PictureState::Up)),
      down_(buttonPicture(picture, PictureState::Down)),
      focus_(buttonPicture(picture, PictureState::Focus)),
      disabled_(buttonPicture(picture, PictureState::Disabled)) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PictureButton::sizeHint() const {
    return up_.size();
}

void PictureButton::paintEvent(QPaintEvent*) {
    const QPixmap* shown = &up_;
    if (!isEnabled())
        shown = &disabled_;
    else if (isDown())
        shown = &down_;
    else if (hasFocus())
        shown = &focus_;
    QPainter painter(this);
    painter.drawPixmap(rect(), *shown);
}

}  // namespace kestrel::browser::qt
