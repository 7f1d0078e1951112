#include "frame/widgets/TrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace taskwick {

TrayIcon::TrayIcon(const QIcon& icon, const QString& tip, QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(icon, this)) {
    icon_->setToolTip(tip);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                    case QSystemTrayIcon::Trigger:
                        emit clicked();
                        break;
                    case QSystemTrayIcon::Context:
                        emit contextMenuRequested(QCursor::pos());
                        break;
                    case QSystemTrayIcon::DoubleClick:  // its first click came as a Trigger
                    case QSystemTrayIcon::MiddleClick:
                    case QSystemTrayIcon::Unknown:
                        break;
                }
            });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::isAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::show() {
    icon_->show();
}

bool TrayIcon::isVisible() const {
    return icon_->isVisible();
}

}  // namespace taskwick
