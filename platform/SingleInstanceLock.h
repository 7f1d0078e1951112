#pragma once

#include <QString>

namespace taskwick {

// The lock that allows one running instance per user session: one per X display, since a
// user may be logged in on several at once (a second login, a remote desktop), and each
// session has a window of its own.
//
// It is a file in the user's runtime folder, locked with flock(). The kernel drops the lock
// when the holding process ends, however it ends, so a lock left by a killed instance never
// blocks the next start. The descriptor is close-on-exec: a program started by the holder (the
// successor of a restart, a file manager) never inherits it.
class SingleInstanceLock {
public:
    enum class Result {
        Acquired,     // this process is the running instance
        HeldByOther,  // another process holds it
        Unavailable,  // the lock cannot be made: the single-instance rule is not applied
    };

    static constexpr char DefaultName[] = "ToDoMutex";
    // The lock's name for an X display ("ToDoMutex-:0"): the display as DISPLAY names it,
    // without its screen number, "unix" host or characters a file name cannot hold.
    static QString nameForDisplay(const QString& display);

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock in runtimeFolder(). A process that does not get it keeps nothing open.
    Result acquire(const QString& name = QLatin1String(DefaultName));
    // The same in a given folder, which must exist; an empty folder (no usable runtime
    // folder) gives Unavailable.
    Result acquireIn(const QString& folder, const QString& name);

    // Lets go of the lock while the process goes on (a restart hands it to the successor).
    void release();
    // The lock file of the last acquire, whether it was taken or not.
    QString path() const { return path_; }

    // $XDG_RUNTIME_DIR when it is a folder of ours; otherwise a private folder
    // <fallbackBase>/taskwick-<uid>, created with mode 0700. Empty when neither is usable.
    // The fallback base is fixed rather than $TMPDIR so that every process of the user
    // agrees on it.
    static QString runtimeFolder(const QString& fallbackBase = QStringLiteral("/tmp"));

private:
    int fd_ = -1;
    QString path_;
};

}  // namespace taskwick
