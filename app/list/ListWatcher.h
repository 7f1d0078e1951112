#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace taskwick {

// Tells when the list or its folder may have been changed by someone else. The folders are
// watched too: editors and sync tools replace a file by renaming another over it, which ends
// a watch on the file itself. Where the system gives no watch (the user's inotify limits are
// spent, a file system without change notes), the paths are looked at once a second instead.
class ListWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 1000;

    explicit ListWatcher(QObject* parent = nullptr);

    // Watches each of `paths` that exists and is not watched yet; paths that appear later are
    // added by the next call.
    void watch(const QStringList& paths);
    void stop();
    // True once a path could not be watched and is looked at by polling instead.
    bool polling() const { return pollTimer_.isActive(); }

signals:
    void touched();
    // The first time a path could not be watched: the user may be told once.
    void pollingStarted();

private:
    void poll();
    static QString signatureOf(const QString& path);

    QFileSystemWatcher watcher_;
    QTimer pollTimer_;
    QStringList polled_;
    QStringList signatures_;
};

}  // namespace taskwick
