#include "frame/widgets/RedBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

namespace {

// To a screen reader the red bar is a push button named by its hint, which tells whether a
// click folds or unfolds the window; its press action clicks it.
class RedBarAccessible final : public QAccessibleWidget {
public:
    explicit RedBarAccessible(RedBar* bar) : QAccessibleWidget(bar, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            return;
        }
        // From the event loop, as a click comes, and not inside the reader's call.
        auto* bar = static_cast<RedBar*>(widget());
        QMetaObject::invokeMethod(
            bar, [bar] { emit bar->clicked(); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* redBarAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(RedBar::staticMetaObject.className())) {
        return nullptr;
    }
    auto* bar = qobject_cast<RedBar*>(object);
    return bar != nullptr ? new RedBarAccessible(bar) : nullptr;
}

}  // namespace

RedBar::RedBar(const QPixmap& picture, const QString& hint, QWidget* parent)
    : QWidget(parent), picture_(picture) {
    // Qt keeps a factory once and forgets them all with the application object.
    QAccessible::installFactory(redBarAccessible);
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
