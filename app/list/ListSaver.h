#pragma once

#include "app/list/BackgroundJob.h"
#include "storage/ListFile.h"
#include "storage/ListState.h"
#include "storage/Rescue.h"
#include "storage/ToDoListData.h"

#include <QObject>

#include <functional>
#include <optional>

namespace taskwick {

// What one save did.
struct SaveAttempt {
    ListFile::SaveOutcome outcome;
    std::optional<KeptCopy> rescue;  // made when the list could not be saved
    bool wrote = false;              // the list now holds the content
};

// Writes the list: the document built, nothing written when it is the version on the disk,
// another version handed back or kept as the save is told, the tasks put into the rescue copy
// when the list refuses them, and the version saved remembered in the state folder. One save
// at a time, on a thread of its own or on the caller's; while one runs, the list file, the
// rescue and the state folder belong to it.
class ListSaver : public QObject {
    Q_OBJECT
public:
    ListSaver(ListFile& file, Rescue& rescue, ListState& state, QObject* parent = nullptr);

    // Saves on the calling thread.
    SaveAttempt save(const ToDoListData& data, OtherVersions others);
    // Builds what to save and saves it on a thread of its own (on this one when the system
    // gives none), and says `finished` on this object's thread once it is done; the outcome
    // is taken with takeFinished(). Whatever `build` reads must stay unchanged until then.
    void startSave(std::function<ToDoListData()> build, OtherVersions others);
    bool isSaving() const { return job_.isRunning(); }
    // Waits for the save under way and returns its outcome; none when none runs.
    std::optional<SaveAttempt> takeFinished();

signals:
    void finished();

private:
    ListFile& file_;
    Rescue& rescue_;
    ListState& state_;
    BackgroundJob job_;
    std::optional<SaveAttempt> finished_;  // written by the job, read once it is waited for
};

}  // namespace taskwick
