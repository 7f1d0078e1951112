#include "info/InfoWidgets.h"

#include "resources/Resources.h"

#include <QMouseEvent>
#include <QPainter>

namespace taskwick {

InfoLinkLabel::InfoLinkLabel(const QString& address, const QFont& font, QColor color,
                             HoverLook hoverLook, QWidget* parent)
    : QLabel(address, parent),
      address_(address),
      font_(font),
      color_(color),
      hoverLook_(hoverLook) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    updateLook();
    adjustSize();
}

void InfoLinkLabel::setColor(const QColor& color) {
    if (color_ == color) {
        return;
    }
    color_ = color;
    updateLook();
}

void InfoLinkLabel::updateLook() {
    QFont font = font_;
    font.setUnderline(hovered_ ? hoverLook_.underlined : true);
    setFont(font);
    QPalette palette = this->palette();
    const QColor drawn = hovered_ && hoverLook_.color ? *hoverLook_.color : color_;
    palette.setColor(QPalette::WindowText, drawn);
    setPalette(palette);
}

void InfoLinkLabel::enterEvent(QEnterEvent*) {
    hovered_ = true;
    updateLook();
}

void InfoLinkLabel::leaveEvent(QEvent*) {
    hovered_ = false;
    updateLook();
}

void InfoLinkLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit pointerMoved();
}

void InfoLinkLabel::mousePressEvent(QMouseEvent* event) {
    // Accepted, so that a press on a link never reaches the picture behind it (which would
    // move the dialog).
    event->accept();
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
    }
}

void InfoLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

InfoPicture::InfoPicture(const QString& source, QSize size, QWidget* parent)
    : QWidget(parent), source_(source) {
    setFixedSize(size);
}

const QPixmap& InfoPicture::picture() const {
    if (picture_.isNull() && !source_.isEmpty()) {
        initResources();
        picture_ = QPixmap(source_);
    }
    return picture_;
}

void InfoPicture::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture());
}

void InfoPicture::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit pointerMoved();
}

void InfoPicture::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        leftPressed_ = true;
    }
    emit pressed();
}

void InfoPicture::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !leftPressed_) {
        return;
    }
    leftPressed_ = false;
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace taskwick
