#include "platform/Relaunch.h"

#include <QCoreApplication>
#include <QProcess>

namespace taskwick {

bool relaunchSelf() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

}  // namespace taskwick
