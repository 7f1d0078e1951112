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

XDisplayProbe::XDisplayProbe(const QString& name) {
    if (name.isEmpty()) {
        return;
    }
    connection_ = xcb_connect(name.toLocal8Bit().constData(), nullptr);
    opens_ = xcb_connection_has_error(connection_) == 0;
}

XDisplayProbe::~XDisplayProbe() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

}  // namespace taskwick
