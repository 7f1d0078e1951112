#pragma once

#include "storage/FileOps.h"
#include "storage/ToDoListData.h"
#include "table/model/TaskTable.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace taskwick {

// The window state a save reads besides the table.
struct SaveSource {
    int left = 0;
    int top = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    // False while the window is folded, folding or unfolding: the file then receives the
    // unfolded window, with its right edge where the current right edge is.
    bool frameFull = true;
    int unfoldedClientWidth = 0;
    QString skinName;
    QString skinPath;
};

ToDoListData snapshotForSave(const SaveSource& window, const TaskTable& table);

struct SaveResult {
    enum Step {
        Ok,
        BuildDocument,  // the document could not be built; nothing on disk was touched
        ReadOnly,       // the target's write protection could not be removed
        TempFile,       // the temporary file could not be created, written or flushed
        Replace,        // the target could not be replaced
    };
    Step step = Ok;
    int error = 0;         // errno of the failed step
    QString errorMessage;  // "Permission denied"
    QString errorKind;     // "EACCES"
    // The folder of the file that was to be replaced, with a trailing "/"; for a list that is
    // a link, the folder of the file the link leads to. Empty when no file was found.
    QString folder;
    // The replaced file had further names (hard links), which keep the old content.
    bool splitHardLink = false;
    // The displaced version was put back in place (see DisplacedCheck): nothing was replaced.
    bool putBack = false;
    // A displaced version that was to be put back but could not be: it stays here, beside the
    // list under a temporary name, while the new document is in place.
    QString displacedKeptAt;
    // The new document's file as it was written, before it went into place.
    PathStatus written;

    bool ok() const { return step == Ok; }
};

// A failed step with the errno it failed with, worded as the system words it.
SaveResult saveFailure(SaveResult::Step step, int error);

inline const QString ToDoListFileName = QStringLiteral("ToDoList.xml");
inline const QString TempFilePrefix = QStringLiteral("ToDoList~tmp~backup~");

// What becomes of the version a save displaced, decided by the caller on the saving thread.
enum class DisplacedVersion { Discard, PutBack };
using DisplacedCheck = std::function<DisplacedVersion(const QByteArray& displaced)>;

// Replaces appFolder + "ToDoList.xml" by `content` so that the target never holds a partial
// document: the content goes completely into a new temporary file in the target's folder, is
// flushed to the disk, and then takes the target's place. Where the file system can, the two
// names are swapped in one step (RENAME_EXCHANGE), so the version that was displaced can still
// be looked at: `check` sees its bytes and may have it put back, which leaves the target as
// it was. Elsewhere (EINVAL) the temporary file is renamed over the target. A first save
// never replaces a file that appears meanwhile: it swaps with it instead. A symbolic link
// stays a link; the file it points to is replaced. A target without owner write permission
// gets it back first, and the new file keeps the old one's other permission bits. After any
// failure the old target is unchanged and no temporary file is left behind.
// `appFolder` ends with "/".
SaveResult replaceToDoListFile(FileOps& ops, const QString& appFolder, const QByteArray& content,
                               const DisplacedCheck& check = {});

// Builds the document and replaces the file with it.
SaveResult saveToDoList(FileOps& ops, const QString& appFolder, const ToDoListData& data);
SaveResult saveToDoList(FileOps& ops, const QString& appFolder, const SaveSource& window,
                        const TaskTable& table);

}  // namespace taskwick
