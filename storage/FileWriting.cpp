#include "storage/FileWriting.h"

#include <cerrno>

namespace taskwick {

int writeAll(FileOps& ops, int fd, const QByteArray& content) {
    const char* data = content.constData();
    std::size_t left = static_cast<std::size_t>(content.size());
    while (left > 0) {
        std::size_t written = 0;
        const int error = ops.write(fd, data, left, &written);
        if (error == EINTR) {
            continue;
        }
        if (error != 0) {
            return error;
        }
        if (written == 0) {
            return EIO;  // no progress and no error: never loop forever
        }
        data += written;
        left -= written;
    }
    return 0;
}

int writeFlushAndClose(FileOps& ops, int fd, const QByteArray& content) {
    int error = writeAll(ops, fd, content);
    if (error == 0) {
        error = ops.flush(fd);
    }
    // close reports late write errors of some file systems, so it counts too.
    const int closeError = ops.close(fd);
    return error != 0 ? error : closeError;
}

}  // namespace taskwick
