#include "frame/widgets/PictureButton.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

namespace {

// To a screen reader a frame button is a push button named by its hint; its press action
// clicks it.
class PictureButtonAccessible final : public QAccessibleWidget {
public:
    explicit PictureButtonAccessible(PictureButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction()) {
            return;
        }
        // From the event loop, as a click comes: a click may open a box, which must not hold up
        // the reader's call.
        auto* button = static_cast<PictureButton*>(widget());
        QMetaObject::invokeMethod(
            button, [button] { emit button->clicked(); }, Qt::QueuedConnection);
    }
};

QAccessibleInterface* pictureButtonAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(PictureButton::staticMetaObject.className())) {
        return nullptr;
    }
    auto* button = qobject_cast<PictureButton*>(object);
    return button != nullptr ? new PictureButtonAccessible(button) : nullptr;
}

}  // namespace

PictureButton::PictureButton(ButtonPictures pictures, QSize size, const QString& hint,
                             QWidget* parent)
    : QWidget(parent), pictures_(std::move(pictures)) {
    // Qt keeps a factory once and forgets them all with the application object.
    QAccessible::installFactory(pictureButtonAccessible);
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
