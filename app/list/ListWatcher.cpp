#include "app/list/ListWatcher.h"

#include <QFileInfo>

#include <sys/stat.h>

namespace taskwick {

ListWatcher::ListWatcher(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ListWatcher::touched);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ListWatcher::touched);
    pollTimer_.setInterval(PollIntervalMs);
    connect(&pollTimer_, &QTimer::timeout, this, &ListWatcher::poll);
}

void ListWatcher::watch(const QStringList& paths) {
    const QStringList watched = watcher_.files() + watcher_.directories() + polled_;
    for (const QString& path : paths) {
        if (watched.contains(path) || !QFileInfo::exists(path)) {
            continue;
        }
        if (!watcher_.addPath(path)) {
            polled_ << path;
            signatures_ << signatureOf(path);
            if (!pollTimer_.isActive()) {
                pollTimer_.start();
                emit pollingStarted();
            }
        }
    }
}

void ListWatcher::stop() {
    pollTimer_.stop();
    if (const QStringList all = watcher_.files() + watcher_.directories(); !all.isEmpty()) {
        watcher_.removePaths(all);
    }
}

void ListWatcher::poll() {
    bool changed = false;
    for (qsizetype i = 0; i < polled_.size(); ++i) {
        QString now = signatureOf(polled_[i]);
        if (now != signatures_[i]) {
            signatures_[i] = std::move(now);
            changed = true;
        }
    }
    if (changed) {
        emit touched();
    }
}

// What changes when a file or folder is written, replaced or renamed into: its inode, size
// and times to the nanosecond.
QString ListWatcher::signatureOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    return QStringLiteral("%1 %2 %3.%4 %5.%6")
        .arg(st.st_ino)
        .arg(st.st_size)
        .arg(st.st_mtim.tv_sec)
        .arg(st.st_mtim.tv_nsec)
        .arg(st.st_ctim.tv_sec)
        .arg(st.st_ctim.tv_nsec);
}

}  // namespace taskwick
