#include "platform/PlatformChoice.h"

#include <QByteArray>
#include <QtGlobal>

#include <xcb/xcb.h>

namespace taskwick {

void preferX11Platform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

bool xDisplayOpens(const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    xcb_connection_t* connection = xcb_connect(name.toLocal8Bit().constData(), nullptr);
    const bool opens = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opens;
}

}  // namespace taskwick
