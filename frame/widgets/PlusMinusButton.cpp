#include "frame/widgets/PlusMinusButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

PlusMinusButton::PlusMinusButton(Sign sign, const QString& hint, QWidget* parent)
    : QWidget(parent), sign_(sign) {
    setToolTip(hint);
    setFixedSize(9, 9);
    setCursor(Qt::PointingHandCursor);
}

void PlusMinusButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor face = pressed_   ? QColor(0x5A, 0x7F, 0xA8)
                        : hovered_ ? QColor(0xFF, 0xFF, 0xFF)
                                   : QColor(0xE8, 0xEE, 0xF6);
    const QColor ink = pressed_ ? Qt::white : QColor(0x2B, 0x45, 0x66);
    p.fillRect(rect(), face);
    p.setPen(QColor(0x6C, 0x86, 0xA6));
    p.drawRect(0, 0, 8, 8);
    p.setPen(ink);
    p.drawLine(2, 4, 6, 4);
    if (sign_ == Sign::Plus) {
        p.drawLine(4, 2, 4, 6);
    }
}

void PlusMinusButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void PlusMinusButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void PlusMinusButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        update();
    }
}

void PlusMinusButton::mouseReleaseEvent(QMouseEvent* event) {
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
