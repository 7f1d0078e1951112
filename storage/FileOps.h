#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <sys/types.h>

#include <cstddef>

namespace taskwick {

// What the saver needs to know about an existing path, without following a final link.
struct PathStatus {
    bool exists = false;
    bool isSymlink = false;
    mode_t mode = 0;  // permission bits and file type, as lstat reports them
    qint64 size = 0;
    qint64 modifiedNs = 0;  // modification time in nanoseconds since the epoch
    qint64 linkCount = 0;   // names the file has (hard links)
    quint64 device = 0;     // the file system and the file's number on it: which file it is
    quint64 inode = 0;
};

// The file operations of a save, one system call each. Every call returns 0 or the errno
// value it failed with, so that a test can make any single step fail with a chosen error.
class FileOps {
public:
    virtual ~FileOps() = default;

    virtual int status(const QString& path, PathStatus* out) = 0;
    // The same for the file a path finally names, links followed.
    virtual int statusFollowingLinks(const QString& path, PathStatus* out) = 0;
    // The whole content of a file, links followed.
    virtual int readAll(const QString& path, QByteArray* content) = 0;
    virtual int readLink(const QString& path, QString* target) = 0;
    virtual int changeMode(const QString& path, mode_t mode) = 0;
    // Creates a new file; fails with EEXIST when the name is taken, never follows a link.
    virtual int createExclusive(const QString& path, mode_t mode, int* fd) = 0;
    virtual int changeModeOf(int fd, mode_t mode) = 0;
    // One write call; `written` may be short of `size`.
    virtual int write(int fd, const char* data, std::size_t size, std::size_t* written) = 0;
    virtual int flush(int fd) = 0;  // to the disk, not only to the kernel
    virtual int close(int fd) = 0;
    virtual int rename(const QString& from, const QString& to) = 0;
    // Swaps two names in one step, so that no moment exists without either file; EINVAL (or
    // ENOSYS) where the file system cannot.
    virtual int exchange(const QString& a, const QString& b) = 0;
    // A rename that fails with EEXIST rather than replace a file that is there; EINVAL (or
    // ENOSYS) where the file system cannot.
    virtual int renameNoReplace(const QString& from, const QString& to) = 0;
    virtual int remove(const QString& path) = 0;
    // Makes a rename inside the folder last across a crash.
    virtual int flushFolder(const QString& path) = 0;
    // Creates the folder and any missing folder above it, private to the user; a folder that
    // is there already is no error.
    virtual int makeFolders(const QString& path) = 0;
};

// The real thing.
class PosixFileOps : public FileOps {
public:
    int status(const QString& path, PathStatus* out) override;
    int statusFollowingLinks(const QString& path, PathStatus* out) override;
    int readAll(const QString& path, QByteArray* content) override;
    int readLink(const QString& path, QString* target) override;
    int changeMode(const QString& path, mode_t mode) override;
    int createExclusive(const QString& path, mode_t mode, int* fd) override;
    int changeModeOf(int fd, mode_t mode) override;
    int write(int fd, const char* data, std::size_t size, std::size_t* written) override;
    int flush(int fd) override;
    int close(int fd) override;
    int rename(const QString& from, const QString& to) override;
    int exchange(const QString& a, const QString& b) override;
    int renameNoReplace(const QString& from, const QString& to) override;
    int remove(const QString& path) override;
    int flushFolder(const QString& path) override;
    int makeFolders(const QString& path) override;
};

// "EACCES" for EACCES and so on for the errors a save meets; "errno N" for any other.
QString errnoName(int error);
// The system's text for the error, "Permission denied" for EACCES.
QString errnoMessage(int error);

}  // namespace taskwick
