#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace taskwick {

QString FileManager::fileUri(const QString& path) {
    return QString::fromUtf8(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

bool FileManager::showItem(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{fileUri(path)} << QString();
        const QDBusMessage reply = bus.call(call, QDBus::Block, ShowItemsTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) {
            return true;
        }
    }
    const QString folder = QFileInfo(QFileInfo(path).absoluteFilePath()).absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool relaunchSelf() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

}  // namespace taskwick
