#include "storage/KeptCopy.h"

#include "storage/FileWriting.h"

#include <cerrno>

namespace taskwick {

namespace {

// Far more than a user makes in one second; a bound so that a folder that answers EEXIST to
// everything cannot keep the program busy.
constexpr int MaxAttempts = 100;

}  // namespace

QString keptCopyName(const QString& listPath, const QString& reason, const QDateTime& when,
                     int attempt) {
    QString name = listPath + QLatin1Char('.') + reason + QLatin1Char('-') +
                   when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (attempt > 1) {
        name += QLatin1Char('-') + QString::number(attempt);
    }
    return name;
}

KeptCopy keepCopyBeside(FileOps& ops, const QString& listPath, const QByteArray& content,
                        const QString& reason, const QDateTime& when) {
    KeptCopy copy;
    copy.error = EEXIST;
    int fd = -1;
    for (int attempt = 1; attempt <= MaxAttempts && copy.error == EEXIST; ++attempt) {
        copy.path = keptCopyName(listPath, reason, when, attempt);
        copy.error = ops.createExclusive(copy.path, 0600, &fd);
    }
    if (copy.error != 0) {
        copy.path.clear();
        return copy;
    }
    copy.error = writeFlushAndClose(ops, fd, content);
    if (copy.error != 0) {
        ops.remove(copy.path);
        copy.path.clear();
    }
    return copy;
}

}  // namespace taskwick
