#include "platform/PlatformChoice.h"

#include <QByteArray>
#include <QtGlobal>

namespace taskwick {

void preferX11Platform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

}  // namespace taskwick
