#include "app/StartupTrace.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace taskwick {

Q_LOGGING_CATEGORY(startupLog, "taskwick.startup", QtWarningMsg)

StartupTrace::StartupTrace() {
    clock_.start();
}

void StartupTrace::mark(const char* phase) {
    qCDebug(startupLog, "%7.2f ms  %s", double(clock_.nsecsElapsed()) / 1e6, phase);
}

void StartupTrace::watchFirstPaint(QWidget* window) {
    if (startupLog().isDebugEnabled() && window->windowHandle()) {
        window->windowHandle()->installEventFilter(this);
        window->installEventFilter(this);
    }
}

bool StartupTrace::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && !exposed_) {
        exposed_ = true;
        mark("window exposed");
    } else if (event->type() == QEvent::Paint && qobject_cast<QWidget*>(watched)) {
        mark("window painted");
        watched->removeEventFilter(this);
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->windowHandle()) {
            widget->windowHandle()->removeEventFilter(this);
        }
    }
    return false;
}

}  // namespace taskwick
