#pragma once

#include "storage/FileOps.h"
#include "storage/KeptCopy.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace taskwick {

inline const QString RescuedReason = QStringLiteral("rescued");
inline const QString UnsavedReason = QStringLiteral("unsaved");

// Where a list goes that cannot be saved in its place, first choice first, each with a
// trailing "/": the program's folder in the user's state folder ($XDG_STATE_HOME when it is
// an absolute path, else ~/.local/state), then the home folder itself. Another path than the
// program's folder, so a full or refusing disk there does not take the copy with it.
QStringList rescueFolders(const QString& xdgStateHome, const QString& home);
// The same from this process's environment.
QStringList rescueFoldersOfUser();

// The one copy of the user's list that a run keeps while the list cannot be saved: written
// into the first rescue folder that takes it, else beside the list itself. A newer copy
// replaces the older one of the same run only once it is on the disk, so there is never more
// than one, and never none while one is needed.
class Rescue {
public:
    // `listPath` is the list's full path; `folders` as rescueFolders gives them.
    Rescue(FileOps& ops, QString listPath, QStringList folders);

    // Writes `content` as a new copy and removes the copy made before. When the content is
    // that of the copy already on the disk, that copy stays as it is.
    KeptCopy keep(const QByteArray& content, const QDateTime& now);
    // The list itself holds the tasks again: the copy is not needed anymore and goes.
    void discard();
    // The copy on the disk now; empty when there is none.
    QString path() const { return path_; }

private:
    FileOps& ops_;
    QString listPath_;
    QStringList folders_;
    QString path_;
    QByteArray digest_;  // of the copy's content
};

}  // namespace taskwick
