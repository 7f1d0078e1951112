#include "storage/ListState.h"

#include "storage/FileWriting.h"
#include "storage/ToDoListSaver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>

namespace taskwick {

namespace {

const QString RescueRecordName = QStringLiteral("rescued");

}  // namespace

QString listStateKey(const QString& listPath) {
    return QString::fromLatin1(
        QCryptographicHash::hash(QFileInfo(listPath).absoluteFilePath().toUtf8(),
                                 QCryptographicHash::Blake2b_256)
            .toHex()
            .left(16));
}

ListState::ListState(FileOps& ops, const QString& stateRoot, const QString& listPath)
    : ops_(ops),
      folder_(stateRoot + QStringLiteral("lists/") + listStateKey(listPath) + QLatin1Char('/')) {}

QByteArray ListState::readBase() const {
    QByteArray content;
    return ops_.readAll(folder_ + ToDoListFileName, &content) == 0 ? content : QByteArray();
}

QByteArray ListState::baseDigest() const {
    QFile file(folder_ + ToDoListFileName);
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
        return {};
    }
    return hash.result();
}

int ListState::writeBase(const QByteArray& content) {
    if (const int error = ops_.makeFolders(folder_); error != 0) {
        return error;
    }
    // Replaced whole by a rename, never half written; not flushed to the disk, since it is a
    // help for a later merge and no one's only copy of anything: after a crash that loses it,
    // a merge takes the closest version it knows instead.
    return writeByRename(folder_ + ToDoListFileName, content);
}

int ListState::writeByRename(const QString& path, const QByteArray& content) {
    const QString temp = path + QStringLiteral("~");
    ops_.remove(temp);
    int fd = -1;
    if (const int error = ops_.createExclusive(temp, 0600, &fd); error != 0) {
        return error;
    }
    int error = writeAll(ops_, fd, content);
    if (const int closeError = ops_.close(fd); error == 0) {
        error = closeError;
    }
    if (error == 0) {
        error = ops_.rename(temp, path);
    }
    if (error != 0) {
        ops_.remove(temp);
    }
    return error;
}

KeptCopy ListState::keepBackup(const QByteArray& content, const QString& reason,
                               const QDateTime& when) {
    if (const int error = ops_.makeFolders(folder_); error != 0) {
        return KeptCopy{error, {}};
    }
    const KeptCopy copy = keepCopyBeside(ops_, folder_ + ToDoListFileName, content, reason, when);
    if (copy.ok()) {
        pruneBackups();
    }
    return copy;
}

QString ListState::moveIntoBackups(const QString& path, const QByteArray& content,
                                   const QString& reason, const QDateTime& when) {
    const KeptCopy copy = keepBackup(content, reason, when);
    if (!copy.ok()) {
        return {};
    }
    if (ops_.remove(path) != 0) {
        ops_.remove(copy.path);
        return {};
    }
    return copy.path;
}

void ListState::pruneBackups() {
    const QString prefix = ToDoListFileName + QLatin1Char('.');
    QFileInfoList backups = QDir(folder_).entryInfoList({prefix + QLatin1Char('*')}, QDir::Files,
                                                        QDir::Time | QDir::Reversed);
    while (backups.size() > MaxBackups) {
        ops_.remove(backups.takeFirst().absoluteFilePath());
    }
}

void ListState::recordRescue(const QString& rescuePath) {
    if (ops_.makeFolders(folder_) == 0) {
        writeByRename(folder_ + RescueRecordName, rescuePath.toUtf8());
    }
}

QString ListState::recordedRescue() const {
    QByteArray path;
    return ops_.readAll(folder_ + RescueRecordName, &path) == 0 ? QString::fromUtf8(path)
                                                                : QString();
}

void ListState::forgetRescue() {
    ops_.remove(folder_ + RescueRecordName);
}

}  // namespace taskwick
