#pragma once

#include "storage/FileOps.h"
#include "storage/KeptCopy.h"
#include "storage/ToDoListData.h"
#include "storage/ToDoListSaver.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace taskwick {

// ToDoList.xml as this program last saw it: the version it read at start or wrote with its
// last save. A save through it never replaces a version that someone else wrote in the
// meantime (a hand edit, a sync tool, another program) without keeping that version first.
class ListFile {
public:
    // `appFolder` ends with "/".
    ListFile(FileOps& ops, QString appFolder);

    QString path() const { return path_; }

    // Reads the whole file. What was read becomes the known version.
    int read(QByteArray* content);
    // The file on the disk holds `content` now (it was just read, kept or written).
    void remember(const QByteArray& content);
    // Nothing on the disk is known to be ours: the next save keeps whatever it finds first.
    void forget();
    // The file did not exist when the program looked.
    void rememberAbsent();
    // True when `content` is exactly the known version; a save would change nothing.
    bool isKnownVersion(const QByteArray& content) const;

    struct SaveOutcome {
        SaveResult result;
        QString keptChangedCopy;  // where someone else's version was kept, if it was
    };
    // Keeps a version changed by someone else beside the list ("changed" copy), then replaces
    // the list with `content`. When that version cannot be read or kept, nothing is replaced
    // and the result says why.
    SaveOutcome save(const QByteArray& content, const QDateTime& now);

private:
    struct Version {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        QByteArray digest;
    };
    // Whether the disk holds a version that is not ours; fills `foreign` with its bytes.
    int checkForeignVersion(bool* isForeign, QByteArray* foreign) const;

    FileOps& ops_;
    QString appFolder_;
    QString path_;
    std::optional<Version> known_;
};

}  // namespace taskwick
