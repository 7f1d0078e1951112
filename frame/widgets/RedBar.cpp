#include "frame/widgets/RedBar.h"

#include <QCursor>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

RedBar::RedBar(const QString& hint, QWidget* parent) : QWidget(parent) {
    setToolTip(hint);
    setCursor(Qt::PointingHandCursor);
}

void RedBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QLinearGradient shade(0, 0, width(), 0);
    shade.setColorAt(0.0, QColor(0x8E, 0x0B, 0x1F));
    shade.setColorAt(0.45, QColor(0xD7, 0x1E, 0x34));
    shade.setColorAt(1.0, QColor(0x9E, 0x10, 0x24));
    p.fillRect(rect(), shade);
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
