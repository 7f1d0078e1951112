#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace taskwick::testing {

// Whether someone holds the flock() lock on the file, as a second start would find it: a lock
// belongs to an open file, so an open of this probe's own is refused while another holds it.
inline bool isLockedOnDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);  // lets go of the probe's own lock, if it got one
    return locked;
}

}  // namespace taskwick::testing
