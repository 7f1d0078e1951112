#include "storage/ToDoListSaver.h"

#include "storage/FileWriting.h"
#include "storage/XmlWriter.h"

#include <QUuid>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace taskwick {

namespace {

// Links are followed by hand so that a link whose file is gone yet still gets its file.
constexpr int MaxLinkHops = 40;
constexpr int CreateAttempts = 3;

int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return QStringLiteral(".");
    }
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

struct Target {
    QString path;  // the file to replace, links resolved
    PathStatus status;
};

int resolveTarget(FileOps& ops, const QString& start, Target* out) {
    QString path = start;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        PathStatus st;
        const int error = ops.status(path, &st);
        if (error == ENOENT) {
            *out = Target{path, PathStatus{}};  // the first save creates it
            return 0;
        }
        if (error != 0) {
            return error;
        }
        if (!st.isSymlink) {
            *out = Target{path, st};
            return 0;
        }
        QString link;
        if (const int linkError = ops.readLink(path, &link); linkError != 0) {
            return linkError;
        }
        path = link.startsWith(QLatin1Char('/')) ? link : folderOf(path) + QLatin1Char('/') + link;
    }
    return ELOOP;
}

// Writes and flushes the whole content; on failure removes what it created.
int writeTempFile(FileOps& ops, const QString& folder, const Target& target,
                  const QByteArray& content, QString* tempPath) {
    int fd = -1;
    int error = EEXIST;
    for (int attempt = 0; attempt < CreateAttempts && error == EEXIST; ++attempt) {
        *tempPath = folder + QLatin1Char('/') + TempFilePrefix +
                    QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
        // A new file starts private when it replaces one whose permissions it then copies;
        // a first save takes the usual permissions of a new file.
        error = ops.createExclusive(*tempPath, target.status.exists ? 0600 : 0666, &fd);
    }
    if (error != 0) {
        return error;
    }
    if (target.status.exists) {
        // Not being able to copy the permissions leaves the private ones: no reason to fail.
        ops.changeModeOf(fd, (target.status.mode & 07777 & ~mode_t{S_ISUID | S_ISGID}) | S_IWUSR);
    }
    error = writeFlushAndClose(ops, fd, content);
    if (error != 0) {
        ops.remove(*tempPath);
    }
    return error;
}

bool cannotSwap(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// After the swap the temporary name holds the displaced version: it goes, or it is put back.
void settleDisplaced(FileOps& ops, const QString& temp, const QString& target,
                     const DisplacedCheck& check, SaveResult* out) {
    DisplacedVersion what = DisplacedVersion::Discard;
    if (check) {
        QByteArray displaced;
        // A version that cannot even be read cannot be judged: it stays.
        what = ops.readAll(temp, &displaced) == 0 ? check(displaced) : DisplacedVersion::PutBack;
    }
    if (what == DisplacedVersion::PutBack) {
        if (ops.exchange(temp, target) != 0) {
            out->displacedKeptAt = temp;
            return;
        }
        out->putBack = true;
    }
    ops.remove(temp);
}

// Puts the temporary file in the target's place; returns 0 or the errno that kept it out.
int moveIntoPlace(FileOps& ops, const QString& temp, const QString& target,
                  const DisplacedCheck& check, SaveResult* out) {
    for (int attempt = 0; attempt < CreateAttempts; ++attempt) {
        const int swapError = ops.exchange(temp, target);
        if (swapError == 0) {
            settleDisplaced(ops, temp, target, check, out);
            return 0;
        }
        if (cannotSwap(swapError)) {
            // This file system cannot swap: the plain rename, with the check made before.
            return ops.rename(temp, target);
        }
        if (swapError != ENOENT) {
            return swapError;
        }
        // Nothing to swap with: a first save, or the list went meanwhile. Should one appear
        // in this very moment, it is swapped with on the next round rather than replaced.
        const int renameError = ops.renameNoReplace(temp, target);
        if (renameError != EEXIST) {
            return cannotSwap(renameError) ? ops.rename(temp, target) : renameError;
        }
    }
    return EEXIST;
}

}  // namespace

SaveResult saveFailure(SaveResult::Step step, int error) {
    SaveResult r;
    r.step = step;
    r.error = error;
    r.errorMessage = errnoMessage(error);
    r.errorKind = errnoName(error);
    return r;
}

ToDoListData snapshotForSave(const SaveSource& window, const TaskTable& table) {
    ToDoListData data;
    if (window.frameFull) {
        data.left = window.left;
        data.width = window.clientWidth;
    } else {
        data.left =
            clampToInt(qint64{window.left} + window.clientWidth - window.unfoldedClientWidth);
        data.width = window.unfoldedClientWidth;
    }
    data.top = window.top;
    data.height = window.clientHeight;
    data.rowCount = table.rowCount() - 1;
    data.columnCount = table.colCount();
    data.captionsBold = table.captionsBold();
    data.drawGridLines = table.drawGridLines();
    data.skinName = window.skinName;
    data.skinPath = window.skinPath;

    data.columns.reserve(static_cast<std::size_t>(table.colCount()));
    for (int i = 0; i < table.colCount(); ++i) {
        data.columns.push_back({table.cell(i, 0), table.columnWidth(i),
                                static_cast<std::uint8_t>(table.columnAlignment(i))});
    }
    data.rows.reserve(static_cast<std::size_t>(data.rowCount));
    for (int j = 1; j < table.rowCount(); ++j) {
        std::vector<QString> row;
        row.reserve(static_cast<std::size_t>(table.colCount()));
        for (int i = 0; i < table.colCount(); ++i) {
            row.push_back(table.cell(i, j));
        }
        data.rows.push_back(std::move(row));
    }
    return data;
}

SaveResult replaceToDoListFile(FileOps& ops, const QString& appFolder, const QByteArray& content,
                               const DisplacedCheck& check) {
    Target target;
    if (const int error = resolveTarget(ops, appFolder + ToDoListFileName, &target); error != 0) {
        return saveFailure(SaveResult::Replace, error);
    }
    // The temporary file lives beside the file it replaces, so that the rename stays inside
    // one file system and is atomic.
    const QString folder = folderOf(target.path);
    const auto failure = [&](SaveResult::Step step, int error) {
        SaveResult r = saveFailure(step, error);
        r.folder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        return r;
    };
    const bool exists = target.status.exists;
    if (exists && (target.status.mode & S_IWUSR) == 0) {
        const mode_t writable = (target.status.mode & 07777) | S_IWUSR;
        if (const int error = ops.changeMode(target.path, writable); error != 0) {
            return failure(SaveResult::ReadOnly, error);
        }
        target.status.mode = (target.status.mode & ~mode_t{07777}) | writable;
    }

    QString tempPath;
    if (const int error = writeTempFile(ops, folder, target, content, &tempPath); error != 0) {
        return failure(SaveResult::TempFile, error);
    }
    SaveResult saved;
    // Which file the new document is, and when it was last written: a look at the list that
    // finds this file unchanged need not read it.
    if (ops.status(tempPath, &saved.written) != 0) {
        saved.written = PathStatus{};
    }
    if (const int error = moveIntoPlace(ops, tempPath, target.path, check, &saved); error != 0) {
        // A rename that fails once tends to fail every time (an immutable or busy file): a
        // temporary file left at each attempt would pile up. The caller still holds the
        // document and decides where it goes instead.
        ops.remove(tempPath);
        return failure(SaveResult::Replace, error);
    }
    // The new document is already in place; a folder that cannot be flushed only weakens
    // what survives a crash in the next moments, and a box could not help the user there.
    ops.flushFolder(folder);
    saved.splitHardLink = !saved.putBack && exists && target.status.linkCount > 1;
    return saved;
}

SaveResult saveToDoList(FileOps& ops, const QString& appFolder, const ToDoListData& data) {
    QByteArray content;
    try {
        content = writeToDoList(data);
    } catch (...) {
        SaveResult r;
        r.step = SaveResult::BuildDocument;
        return r;
    }
    return replaceToDoListFile(ops, appFolder, content);
}

SaveResult saveToDoList(FileOps& ops, const QString& appFolder, const SaveSource& window,
                        const TaskTable& table) {
    return saveToDoList(ops, appFolder, snapshotForSave(window, table));
}

}  // namespace taskwick
