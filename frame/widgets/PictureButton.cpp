#include "frame/widgets/PictureButton.h"

#include "frame/widgets/PushButtonAccessible.h"

#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

PictureButton::PictureButton(ButtonPictures pictures, QSize size, const QString& hint,
                             QWidget* parent)
    : QWidget(parent), pictures_(std::move(pictures)) {
    PushButtonAccessible<PictureButton>::install();
    setToolTip(hint);
    setAccessibleName(hint);
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

PictureButton::Look PictureButton::look() const {
    if (pressed_) {
        return Look::Pressed;
    }
    return hovered_ ? Look::Hover : Look::Normal;
}

void PictureButton::paintEvent(QPaintEvent*) {
    const QPixmap& picture = pressed_   ? pictures_.pressed
                             : hovered_ ? pictures_.hover
                                        : pictures_.normal;
    QPainter(this).drawPixmap(0, 0, picture);
}

void PictureButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void PictureButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        update();
    }
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace taskwick
