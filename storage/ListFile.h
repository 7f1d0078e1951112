#pragma once

#include "storage/FileOps.h"
#include "storage/KeptCopy.h"
#include "storage/ToDoListData.h"
#include "storage/ToDoListSaver.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace taskwick {

// What a save does with a version of the list that someone else wrote (a hand edit, a sync
// tool, another program or another instance).
// The fingerprint a version of the list is known by (BLAKE2b).
QByteArray listDigest(const QByteArray& content);

enum class OtherVersions {
    KeepBeside,  // the program has changes of its own: that version is kept as a copy first
    Yield,       // the program has nothing unsaved: that version is newer and stays in place
    // The program has changes of its own and merges: a version that reads as a list stays in
    // place and is handed back to be merged; one that does not is kept as a copy first.
    HandBack,
};

// Whether a version of the list can be merged (it reads as a list, completely).
using MergeableCheck = std::function<bool(const QByteArray& content)>;

// ToDoList.xml as this program last saw it: the version it read at start or wrote with its
// last save, known by the digest of its bytes (many file systems keep whole seconds, so size
// and time could not tell two versions apart). A save through it never replaces a version
// that someone else wrote without keeping that version first, not even one that lands while
// the save is under way.
class ListFile {
public:
    // `appFolder` ends with "/".
    ListFile(FileOps& ops, QString appFolder);

    QString path() const { return path_; }

    // Reads the whole file. What was read becomes the known version.
    int read(QByteArray* content);
    // The file on the disk holds `content` now (it was just read, kept or written).
    void remember(const QByteArray& content);
    // The file holds what otherVersion() read last.
    void rememberLastRead() { known_ = lastRead_; }
    // Nothing on the disk is known to be ours: the next save keeps whatever it finds first,
    // even one that would yield to other versions.
    void forget();
    // The file did not exist when the program looked.
    void rememberAbsent();
    // True when `content` is exactly the known version; a save would change nothing.
    bool isKnownVersion(const QByteArray& content) const;
    // The same, told by the digest of a version (listDigest).
    bool isKnownDigest(const QByteArray& digest) const {
        return known_ && known_->exists && known_->digest == digest;
    }
    // A look without reading: true when the file on the disk is the very file that held the
    // known version, not written since (same file, size and modification time to the
    // nanosecond). False whenever that cannot be told; the file must then be read.
    bool unchangedSinceKnown() const;

    // Reads the disk's version when it is one this program neither read nor wrote; nullopt
    // when the disk holds the known version or no file. A file that cannot be read gives its
    // errno through `error`.
    std::optional<QByteArray> otherVersion(int* error = nullptr) const;

    struct SaveOutcome {
        SaveResult result;
        QString keptChangedCopy;  // where someone else's version was kept, if it was
        bool yielded = false;     // someone else's version stays in place; nothing was written
        QByteArray handedBack;    // that version, with OtherVersions::HandBack
    };
    // Replaces the list with `content`. A version someone else wrote is kept beside the list
    // first ("changed" copy) or, with OtherVersions::Yield, left in place. When that version
    // cannot be read or kept, nothing is replaced and the result says why. With
    // OtherVersions::HandBack, `mergeable` tells which versions stay for a merge.
    SaveOutcome save(const QByteArray& content, const QDateTime& now, OtherVersions others,
                     const MergeableCheck& mergeable = {});
    // True when the program knows a version of the list was on the disk (it read or wrote one).
    bool knowsAVersion() const { return known_ && known_->exists; }

private:
    // Which file held a version and when it was written; comparable only when the file
    // system keeps times finer than a second.
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        static std::optional<Identity> of(const PathStatus& status);
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    struct Version {
        bool exists = false;
        QByteArray digest;
        std::optional<Identity> identity;
    };
    // Reads the file and tells which file it read, when that file stayed the same throughout.
    int readWithIdentity(QByteArray* content, std::optional<Identity>* identity) const;
    void remember(const QByteArray& content, std::optional<Identity> identity);

    FileOps& ops_;
    QString appFolder_;
    QString path_;
    std::optional<Version> known_;
    // The file the last read found, with the digest of what it held: remembering those bytes
    // remembers that file too.
    mutable Version lastRead_;
};

}  // namespace taskwick
