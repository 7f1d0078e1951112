#include "app/TaskwickApplication.h"

#include "app/boxes/ExceptionGuard.h"

namespace taskwick {

TaskwickApplication::TaskwickApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TaskwickApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const CaughtException e = describeCurrentException();
        if (handler_) {
            handler_(e.message, e.className);
        }
        return false;
    }
}

}  // namespace taskwick
