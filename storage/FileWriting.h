#pragma once

#include "storage/FileOps.h"

#include <QByteArray>

namespace taskwick {

// Writes the whole content through as many write calls as it takes, retrying interrupted
// ones. Returns 0 or the errno of the failing call.
int writeAll(FileOps& ops, int fd, const QByteArray& content);

// Writes the whole content, flushes it to the disk and closes the file, which is closed
// whatever happened. Returns the first error of the three steps.
int writeFlushAndClose(FileOps& ops, int fd, const QByteArray& content);

}  // namespace taskwick
