#include "platform/SingleInstanceLock.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace taskwick {

namespace {

// A folder other users cannot plant files in: ours, a real folder (no symlink to somebody
// else's), and not writable by group or others.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    if (lstat(path.constData(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

QString SingleInstanceLock::nameForDisplay(const QString& display) {
    QString name = display.trimmed();
    if (name.isEmpty()) {
        return QLatin1String(DefaultName);
    }
    if (name.startsWith(QLatin1String("unix:"))) {
        name.remove(0, 4);  // the local display by another name
    }
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    if (const qsizetype dot = name.indexOf(QLatin1Char('.'), colon + 1); colon >= 0 && dot > 0) {
        name.truncate(dot);  // the screen: every screen of a display is one session
    }
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QLatin1String(DefaultName) + QLatin1Char('-') + name;
}

SingleInstanceLock::~SingleInstanceLock() {
    release();
}

QString SingleInstanceLock::runtimeFolder(const QString& fallbackBase) {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.startsWith('/') && isPrivateFolder(xdg) && access(xdg.constData(), W_OK | X_OK) == 0) {
        return QFile::decodeName(xdg);
    }

    const QByteArray fallback =
        QFile::encodeName(fallbackBase + QStringLiteral("/taskwick-%1").arg(geteuid()));
    if (mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    // An existing entry may have been put there by someone else: it is used only when it is
    // our own folder; a symlink or a foreign folder leaves the rule unapplied.
    if (!isPrivateFolder(fallback)) {
        return {};
    }
    return QFile::decodeName(fallback);
}

SingleInstanceLock::Result SingleInstanceLock::acquire(const QString& name) {
    release();
    const QString folder = runtimeFolder();
    if (folder.isEmpty()) {
        path_.clear();
        return Result::Unavailable;
    }
    return acquireIn(folder, name);
}

SingleInstanceLock::Result SingleInstanceLock::acquireIn(const QString& folder,
                                                         const QString& name) {
    release();
    if (folder.isEmpty() || name.isEmpty() || name.contains(QLatin1Char('/'))) {
        path_.clear();
        return Result::Unavailable;
    }
    path_ = folder + QLatin1Char('/') + name;
    const QByteArray encoded = QFile::encodeName(path_);
    const int fd = open(encoded.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return Result::Unavailable;
    }
    int rc = 0;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? Result::HeldByOther : Result::Unavailable;
    }
    fd_ = fd;
    return Result::Acquired;
}

void SingleInstanceLock::release() {
    if (fd_ >= 0) {
        // The file stays: removing it would let a third process lock a new file of the same
        // name while a second one still waits on the old one.
        close(fd_);
        fd_ = -1;
    }
}

}  // namespace taskwick
