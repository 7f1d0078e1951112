#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace taskwick {

namespace {

FileManager::Shown openFolderOf(const QString& path) {
    const QString folder = QFileInfo(QFileInfo(path).absoluteFilePath()).absolutePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) ? FileManager::Shown::Folder
                                                                  : FileManager::Shown::Nothing;
}

}  // namespace

QString FileManager::fileUri(const QString& path) {
    return QString::fromUtf8(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

void FileManager::showItem(const QString& path, std::function<void(Shown)> done, int timeoutMs) {
    auto finish = [done = std::move(done)](Shown shown) {
        if (done) {
            done(shown);
        }
    };
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        // Still from the event loop, as when the bus answers.
        QTimer::singleShot(0, qApp, [path, finish] { finish(openFolderOf(path)); });
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{fileUri(path)} << QString();
    // A call that is not answered in time ends with an error of its own, so exactly one
    // of the two ways is taken, once.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, path, finish] {
        watcher->deleteLater();
        finish(watcher->isError() ? openFolderOf(path) : Shown::InFileManager);
    });
}

}  // namespace taskwick
