#include "frame/widgets/FrameView.h"

#include "frame/geometry/WindowMoves.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "platform/X11Windows.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace taskwick {

namespace {

constexpr QSize IconSize(16, 16);
constexpr QSize TinyButtonSize(9, 9);

void drawStretched(QPainter& p, const QRect& box, const QPixmap& picture) {
    if (!picture.isNull() && !box.isEmpty()) {
        p.drawPixmap(box, picture);
    }
}

// At its own size from the box's top-left corner, and nothing of it outside the box.
void drawClipped(QPainter& p, const QRect& box, const QPixmap& picture) {
    if (picture.isNull() || box.isEmpty()) {
        return;
    }
    p.save();
    p.setClipRect(box, Qt::IntersectClip);
    p.drawPixmap(box.topLeft(), picture);
    p.restore();
}

}  // namespace

FrameView::FrameView(const FramePictures& pictures, const FrameHints& hints, QWidget* window)
    : QWidget(window), window_(*window), pictures_(pictures) {
    setObjectName(QStringLiteral("frame"));
    setMouseTracking(true);
    redBar_ = new RedBar(pictures_.redBar, hints.redBar, this);
    redBar_->setObjectName(QStringLiteral("redBar"));
    redBar_->setMouseTracking(true);
    redBar_->installEventFilter(this);
    connect(redBar_, &RedBar::contextMenuRequested, this,
            [this](Qt::MouseButtons, QPoint globalPos) { emit contextMenuRequested(globalPos); });

    shrink_ = addButton(ButtonPictures::builtIn("shrink", "jpg"), IconSize, hints.shrink);
    minimize_ = addButton(ButtonPictures::builtIn("minimize", "jpg"), IconSize, hints.minimize);
    exit_ = addButton(ButtonPictures::builtIn("exit", "jpg"), IconSize, hints.exit);
    const ButtonPictures plus = ButtonPictures::builtIn("plus", "png");
    const ButtonPictures minus = ButtonPictures::builtIn("minus", "png");
    addRow_ = addButton(plus, TinyButtonSize, hints.addRow);
    deleteRow_ = addButton(minus, TinyButtonSize, hints.deleteRow);
    addColumn_ = addButton(plus, TinyButtonSize, hints.addColumn);
    deleteColumn_ = addButton(minus, TinyButtonSize, hints.deleteColumn);
    shrink_->setObjectName(QStringLiteral("shrinkIcon"));
    minimize_->setObjectName(QStringLiteral("minimizeIcon"));
    exit_->setObjectName(QStringLiteral("exitIcon"));
    addRow_->setObjectName(QStringLiteral("addRowButton"));
    deleteRow_->setObjectName(QStringLiteral("deleteRowButton"));
    addColumn_->setObjectName(QStringLiteral("addColumnButton"));
    deleteColumn_->setObjectName(QStringLiteral("deleteColumnButton"));
}

PictureButton* FrameView::addButton(const ButtonPictures& pictures, QSize size,
                                    const QString& hint) {
    return new PictureButton(pictures, size, hint, this);
}

void FrameView::setTable(QWidget* table) {
    table_ = table;
    table_->setParent(this);
    table_->stackUnder(redBar_);
    table_->show();
}

void FrameView::setPictures(const FramePictures& pictures) {
    pictures_ = pictures;
    redBar_->setPicture(pictures_.redBar);
    update();
}

void FrameView::layOut(const FrameLayout& layout) {
    layout_ = layout;
    if (table_) {
        table_->setGeometry(layout.grid);
    }
    redBar_->setGeometry(layout.redBar);
    shrink_->move(layout.shrinkIcon.topLeft());
    minimize_->move(layout.minimizeIcon.topLeft());
    exit_->move(bar_ ? QPoint(7, 7) : layout.exitIcon.topLeft());
    addRow_->move(layout.plusRow.topLeft());
    deleteRow_->move(layout.minusRow.topLeft());
    addColumn_->move(layout.plusColumn.topLeft());
    deleteColumn_->move(layout.minusColumn.topLeft());
    repaintOverlays();
    update();
}

void FrameView::showAsBar() {
    bar_ = true;
    if (table_) {
        table_->resize(std::max(0, window_.width() - 60), table_->height());
        table_->hide();
    }
    exit_->move(7, 7);
    update();
}

void FrameView::showUnfolding() {
    bar_ = false;
    if (table_) {
        table_->resize(0, table_->height());
        table_->show();
    }
    exit_->move(layout_.right.left() + 7, 7);
    repaintOverlays();
    update();
}

void FrameView::setRedBarHint(const QString& hint) {
    redBar_->setHint(hint);
}

void FrameView::setResizable(bool resizable) {
    resizable_ = resizable;
    if (!resizable_) {
        unsetCursor();
        redBar_->setCursor(Qt::PointingHandCursor);
    }
}

void FrameView::repaintOverlays() {
    if (!bar_) {
        update(layout_.logo);
    }
    for (PictureButton* b :
         {shrink_, minimize_, exit_, addRow_, deleteRow_, addColumn_, deleteColumn_}) {
        b->raise();
        b->update();
    }
}

void FrameView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    // Each over the ones before it: the corner pieces cover the ends of the strips, and the
    // logo the left end of the top strip.
    drawStretched(p, layout_.right, pictures_.right);
    drawStretched(p, layout_.bottom, pictures_.bottom);
    drawClipped(p, layout_.bottomRight, pictures_.bottomRight);
    drawClipped(p, layout_.rightZoomCorner, pictures_.rightZoomCorner);
    if (!bar_) {
        drawClipped(p, layout_.leftZoomCorner, pictures_.leftZoomCorner);
    }
    drawStretched(p, layout_.top, pictures_.top);
    drawClipped(p, layout_.topRight, pictures_.topRight);
    if (!bar_) {
        drawClipped(p, layout_.logo, pictures_.logo);
    }
}

QRect FrameView::workArea() const {
    const QScreen* screen = window_.screen();
    return screen ? screen->availableGeometry() : QRect();
}

FrameHit FrameView::resizeHitAt(QPoint windowPos) const {
    return resizable_ ? hitTestFrame(windowPos, window_.size()) : FrameHit::Client;
}

void FrameView::moveWindowSnapped(QPoint topLeft) {
    const QRect area = workArea();
    window_.move(area.isValid() ? snappedToWorkArea(topLeft, window_.size(), area) : topLeft);
}

QPoint FrameView::windowPositionOnScreen(int waitForScreenMs) {
    const std::optional<QPoint> onScreen =
        x11::positionOnScreen(window_.windowHandle(), waitForScreenMs);
    if (onScreen && *onScreen != window_.pos()) {
        window_.move(*onScreen);
    }
    return window_.pos();
}

bool FrameView::startGesture(QMouseEvent* event, QPoint windowPos, bool onPicture) {
    const FrameHit hit = resizeHitAt(windowPos);
    if (hit != FrameHit::Client && event->button() == Qt::LeftButton) {
        gesture_ = Gesture::Resize;
        resizeEdges_ = edgesOf(hit);
    } else if (onPicture && (event->buttons() & Qt::LeftButton)) {
        // Both buttons held drag as well; the menu comes only with the right one alone.
        gesture_ = Gesture::Move;
    } else if (onPicture && (event->buttons() & Qt::RightButton)) {
        emit contextMenuRequested(QCursor::pos());
        return true;
    } else {
        return false;
    }
    gestureStartGlobal_ = event->globalPosition().toPoint();
    windowPositionOnScreen();
    gestureStartGeometry_ = window_.geometry();
    grabMouse();
    return true;
}

void FrameView::followGesture(QPoint globalPos) {
    const QPoint delta = globalPos - gestureStartGlobal_;
    if (gesture_ == Gesture::Move) {
        moveWindowSnapped(gestureStartGeometry_.topLeft() + delta);
    } else if (gesture_ == Gesture::Resize) {
        window_.setGeometry(resizedByEdges(gestureStartGeometry_, resizeEdges_, delta));
    }
}

void FrameView::endGesture() {
    const Gesture ended = std::exchange(gesture_, Gesture::None);
    releaseMouse();
    if (ended == Gesture::Resize) {
        // Smaller than the frame can show: it grows back once the user lets go.
        window_.resize(raisedToFrameMinimum(window_.size()));
    }
    if (window_.geometry() != gestureStartGeometry_) {
        emit windowMovedByUser();
    }
}

void FrameView::updateCursor(QWidget* over, QPoint windowPos) {
    const FrameHit hit = resizeHitAt(windowPos);
    if (hit != FrameHit::Client) {
        over->setCursor(cursorOf(hit));
    } else if (over == redBar_) {
        over->setCursor(Qt::PointingHandCursor);
    } else {
        over->unsetCursor();
    }
}

void FrameView::mousePressEvent(QMouseEvent* event) {
    if (!startGesture(event, event->position().toPoint(), true)) {
        QWidget::mousePressEvent(event);
    }
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
    if (gesture_ != Gesture::None) {
        followGesture(event->globalPosition().toPoint());
        return;
    }
    updateCursor(this, event->position().toPoint());
}

void FrameView::mouseReleaseEvent(QMouseEvent* event) {
    if (gesture_ != Gesture::None && !(event->buttons() & Qt::LeftButton)) {
        endGesture();
    }
}

bool FrameView::eventFilter(QObject* watched, QEvent* event) {
    // The red bar's outer pixels are the window's left edge: they resize like the rest of it.
    if (watched != redBar_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            return startGesture(mouse, redBar_->mapTo(this, mouse->position().toPoint()), false);
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (gesture_ != Gesture::None) {
                followGesture(mouse->globalPosition().toPoint());
                return true;
            }
            updateCursor(redBar_, redBar_->mapTo(this, mouse->position().toPoint()));
            return false;
        }
        case QEvent::MouseButtonRelease:
            if (gesture_ != Gesture::None) {
                endGesture();
                return true;
            }
            return false;
        default:
            return false;
    }
}

}  // namespace taskwick
