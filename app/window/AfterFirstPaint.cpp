#include "app/window/AfterFirstPaint.h"

#include <QEvent>
#include <QWidget>

namespace taskwick {

AfterFirstPaint::AfterFirstPaint(QWidget* window, int patienceMs, std::function<void()> work)
    : QObject(window), window_(window), work_(std::move(work)) {
    window_->installEventFilter(this);
    patience_.setSingleShot(true);
    connect(&patience_, &QTimer::timeout, this, &AfterFirstPaint::run);
    patience_.start(patienceMs);
}

bool AfterFirstPaint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Paint) {
        window_->removeEventFilter(this);
        // The paint is under way; the work comes when the event loop is back.
        patience_.start(0);
    }
    return false;
}

void AfterFirstPaint::run() {
    window_->removeEventFilter(this);
    if (work_) {
        std::exchange(work_, nullptr)();
    }
}

}  // namespace taskwick
