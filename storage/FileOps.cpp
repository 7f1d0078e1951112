#include "storage/FileOps.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace taskwick {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

int result(int rc) {
    return rc == 0 ? 0 : errno;
}

PathStatus toPathStatus(const struct stat& st) {
    PathStatus out;
    out.exists = true;
    out.isSymlink = S_ISLNK(st.st_mode);
    out.mode = st.st_mode;
    out.size = st.st_size;
    out.modifiedNs = qint64{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
    out.linkCount = static_cast<qint64>(st.st_nlink);
    out.device = static_cast<quint64>(st.st_dev);
    out.inode = static_cast<quint64>(st.st_ino);
    return out;
}

}  // namespace

int PosixFileOps::status(const QString& path, PathStatus* out) {
    struct stat st {};
    *out = PathStatus{};
    if (::lstat(native(path).constData(), &st) != 0) {
        return errno;
    }
    *out = toPathStatus(st);
    return 0;
}

int PosixFileOps::statusFollowingLinks(const QString& path, PathStatus* out) {
    struct stat st {};
    *out = PathStatus{};
    if (::stat(native(path).constData(), &st) != 0) {
        return errno;
    }
    *out = toPathStatus(st);
    return 0;
}

int PosixFileOps::readAll(const QString& path, QByteArray* content) {
    content->clear();
    const int f = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (f < 0) {
        return errno;
    }
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t n = ::read(f, buffer, sizeof buffer);
        if (n > 0) {
            content->append(buffer, n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            error = errno;
            break;
        }
    }
    ::close(f);
    return error;
}

int PosixFileOps::readLink(const QString& path, QString* target) {
    const QByteArray name = native(path);
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(name.constData(), buffer.data(), buffer.size());
        if (n < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            *target = QFile::decodeName(QByteArray(buffer.data(), n));
            return 0;
        }
        buffer.resize(buffer.size() * 2);  // possibly cut off: try again with more room
    }
}

int PosixFileOps::changeMode(const QString& path, mode_t mode) {
    return result(::chmod(native(path).constData(), mode));
}

int PosixFileOps::createExclusive(const QString& path, mode_t mode, int* fd) {
    const int f = ::open(native(path).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (f < 0) {
        return errno;
    }
    *fd = f;
    return 0;
}

int PosixFileOps::changeModeOf(int fd, mode_t mode) {
    return result(::fchmod(fd, mode));
}

int PosixFileOps::write(int fd, const char* data, std::size_t size, std::size_t* written) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
        *written = 0;
        return errno;
    }
    *written = static_cast<std::size_t>(n);
    return 0;
}

int PosixFileOps::flush(int fd) {
    return result(::fsync(fd));
}

int PosixFileOps::close(int fd) {
    return result(::close(fd));
}

int PosixFileOps::rename(const QString& from, const QString& to) {
    return result(::rename(native(from).constData(), native(to).constData()));
}

int PosixFileOps::exchange(const QString& a, const QString& b) {
    return result(::renameat2(AT_FDCWD, native(a).constData(), AT_FDCWD, native(b).constData(),
                              RENAME_EXCHANGE));
}

int PosixFileOps::renameNoReplace(const QString& from, const QString& to) {
    return result(::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(),
                              RENAME_NOREPLACE));
}

int PosixFileOps::remove(const QString& path) {
    return result(::unlink(native(path).constData()));
}

int PosixFileOps::flushFolder(const QString& path) {
    const int f = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (f < 0) {
        return errno;
    }
    const int error = result(::fsync(f));
    ::close(f);
    return error;
}

int PosixFileOps::makeFolders(const QString& path) {
    const QByteArray name = native(path);
    // Every folder from the top down; the ones that are there already are passed by.
    for (qsizetype from = 1;;) {
        const qsizetype slash = name.indexOf('/', from);
        const QByteArray folder = slash == -1 ? name : name.left(slash);
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == -1) {
            break;
        }
        from = slash + 1;
    }
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

QString errnoName(int error) {
    struct Entry {
        int value;
        const char* name;
    };
    static constexpr Entry names[] = {
        {EPERM, "EPERM"},
        {ENOENT, "ENOENT"},
        {EINTR, "EINTR"},
        {EIO, "EIO"},
        {ENXIO, "ENXIO"},
        {EBADF, "EBADF"},
        {EAGAIN, "EAGAIN"},
        {ENOMEM, "ENOMEM"},
        {EACCES, "EACCES"},
        {EBUSY, "EBUSY"},
        {EEXIST, "EEXIST"},
        {EXDEV, "EXDEV"},
        {ENODEV, "ENODEV"},
        {ENOTDIR, "ENOTDIR"},
        {EISDIR, "EISDIR"},
        {EINVAL, "EINVAL"},
        {ENFILE, "ENFILE"},
        {EMFILE, "EMFILE"},
        {ETXTBSY, "ETXTBSY"},
        {EFBIG, "EFBIG"},
        {ENOSPC, "ENOSPC"},
        {EROFS, "EROFS"},
        {EMLINK, "EMLINK"},
        {ELOOP, "ELOOP"},
        {ENAMETOOLONG, "ENAMETOOLONG"},
        {EDQUOT, "EDQUOT"},
        {ESTALE, "ESTALE"},
        {ENOTCONN, "ENOTCONN"},
        {ETIMEDOUT, "ETIMEDOUT"},
    };
    for (const Entry& e : names) {
        if (e.value == error) {
            return QString::fromLatin1(e.name);
        }
    }
    return QStringLiteral("errno %1").arg(error);
}

QString errnoMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace taskwick
