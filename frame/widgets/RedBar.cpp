#include "frame/widgets/RedBar.h"

#include "frame/widgets/PushButtonAccessible.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

RedBar::RedBar(const QPixmap& picture, const QString& hint, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    PushButtonAccessible<RedBar>::install();
    setHint(hint);
    setCursor(Qt::PointingHandCursor);
}

void RedBar::setHint(const QString& hint) {
    setToolTip(hint);
    // Qt tells a listening reader of the new name.
    setAccessibleName(hint);
}

void RedBar::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void RedBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), QColor(0xC8, 0x10, 0x2E));
        return;
    }
    p.drawPixmap(rect(), picture_);
}

void RedBar::mousePressEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::RightButton) {
        // The menu opens where the cursor is now, not where the press was reported.
        emit contextMenuRequested(event->buttons(), QCursor::pos());
        return;
    }
    leftPressed_ = event->button() == Qt::LeftButton;
}

void RedBar::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = leftPressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    leftPressed_ = false;
    if (click) {
        emit clicked();
    }
}

}  // namespace taskwick
