#pragma once

#include "storage/FileOps.h"
#include "storage/KeptCopy.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace taskwick {

inline const QString DisplacedReason = QStringLiteral("displaced");
inline const QString ConflictReason = QStringLiteral("conflict");

// What the program keeps about one list outside the list's folder (a synced folder would carry
// it to every machine): in the user's state folder, `lists/<key>/` with a key made from the
// list's path. It holds
// - `ToDoList.xml`, the version of the list this program last shared with the disk (read,
//   saved or taken in), so that a later run can merge a rescue copy against it;
// - the versions of the list that were merged in and so left the disk (a sync tool's conflict
//   copy, a version that landed while the program had changes of its own), the newest
//   MaxBackups of them;
// - `rescued`, the path of a rescue copy not yet brought back into the list.
class ListState {
public:
    static constexpr int MaxBackups = 20;

    // `stateRoot` is the program's state folder, with a trailing "/" (the first of
    // rescueFolders); `listPath` the list's full path.
    ListState(FileOps& ops, const QString& stateRoot, const QString& listPath);

    QString folder() const { return folder_; }

    // The shared version's bytes; empty when there is none.
    QByteArray readBase() const;
    // Its fingerprint (listDigest), read a piece at a time; empty when there is none.
    QByteArray baseDigest() const;
    // Returns 0 or the errno of the step that failed.
    int writeBase(const QByteArray& content);

    // Keeps a version that leaves the disk; the oldest beyond MaxBackups go.
    KeptCopy keepBackup(const QByteArray& content, const QString& reason, const QDateTime& when);
    // Moves a file into the backups (a copy and a removal where a rename cannot cross the
    // disks); returns the new path, empty when it stayed where it was.
    QString moveIntoBackups(const QString& path, const QByteArray& content, const QString& reason,
                            const QDateTime& when);

    void recordRescue(const QString& rescuePath);
    QString recordedRescue() const;
    void forgetRescue();

private:
    void pruneBackups();
    int writeByRename(const QString& path, const QByteArray& content);

    FileOps& ops_;
    QString folder_;
};

// The key of a list's state folder: the first 16 hex digits of the BLAKE2b digest of its path.
QString listStateKey(const QString& listPath);

}  // namespace taskwick
