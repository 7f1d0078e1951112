#pragma once

#include "storage/FileOps.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace taskwick {

// Why a version of the list was kept beside it; the word goes into the copy's name.
inline const QString UnreadableReason = QStringLiteral("unreadable");
inline const QString ChangedReason = QStringLiteral("changed");

struct KeptCopy {
    int error = 0;  // errno of the step that failed, 0 when the copy is on the disk
    QString path;   // the copy's full path, when it was made

    bool ok() const { return error == 0; }
};

// "<listPath>.<reason>-20261209-134501"; the second copy kept within the same second gets
// "-2", the third "-3" and so on.
QString keptCopyName(const QString& listPath, const QString& reason, const QDateTime& when,
                     int attempt);

// Writes `content` into a new file beside the list, named by keptCopyName, and flushes it to
// the disk. An existing file is never replaced: a name that is taken moves on to the next.
// A copy that fails half way is removed again.
KeptCopy keepCopyBeside(FileOps& ops, const QString& listPath, const QByteArray& content,
                        const QString& reason, const QDateTime& when);

}  // namespace taskwick
