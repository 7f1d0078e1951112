#pragma once

#include "app/list/BackgroundJob.h"
#include "app/list/ListSaver.h"
#include "app/list/ListWatcher.h"
#include "storage/ListFile.h"
#include "storage/ListState.h"
#include "storage/Rescue.h"
#include "storage/ToDoListLoader.h"
#include "storage/ToDoListSaver.h"
#include "table/merge/KnownVersions.h"
#include "table/merge/ListMerge.h"
#include "table/model/TaskTable.h"
#include "texts/Texts.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace taskwick {

class MessageBoxes;

enum class SkipUnchanged { No, Yes };

// Who asked for the close decides whether anybody can answer its boxes.
enum class CloseKind {
    ByUser,      // Exit, the exit icon, the window manager's close, a restart
    Unattended,  // a signal or the end of the session: nobody is there to press OK
};

// What the keeper asks of the window it keeps the list of.
class ListWindow {
public:
    virtual ~ListWindow() = default;
    // Where the window is, how it is folded and which skin it wears: asked at every save.
    virtual SaveSource placement() const = 0;
    // The cell open in the editor: another version merged meanwhile leaves its text to the
    // editor until it closes.
    virtual std::optional<CellPos> editedCell() const = 0;
};

struct ListKeeperSettings {
    Language language = Language::English;
    QString appFolder;           // folder of the list, with a trailing "/"
    FileOps* fileOps = nullptr;  // null: the real file layer
    int autoSaveDelayMs = 2000;  // how long after a change the list is saved on its own
    // Where the tasks go when the list cannot be saved; empty: rescueFoldersOfUser(). The
    // first is also the program's state folder (ListState).
    QStringList rescueFolders;
};

// The user's list on the disk, over the whole run: it reads the list at start and keeps a
// copy of what the program would not save back; saves soon after every change, on a thread
// of its own, and only what differs from the disk; saves at the close; and when the list
// cannot be written, puts the tasks into a rescue copy that the user is told about and that
// the next start brings back. It watches the file too: a version that someone else writes (a
// sync tool, an editor, another instance) is merged cell by cell with what the user has, and
// so is a sync tool's conflict copy beside the list; no one's words leave the list without a
// notice. The window only says when.
class ListKeeper : public QObject {
    Q_OBJECT
public:
    ListKeeper(ListKeeperSettings settings, TaskTable& table, MessageBoxes& boxes,
               ListWindow& window, QObject* parent = nullptr);
    // Waits for a save under way.
    ~ListKeeper() override;

    QString path() const { return file_.path(); }

    // Start-up: reads the list and loads it into `target` as one change of the table. A list
    // that cannot be read completely, or that holds tasks the table does not take, is kept
    // byte for byte beside itself before the first box, and a notice names the copy.
    LoadReport load(LoadTarget& target);
    // Start-up without a list: the first run.
    void startWithoutList();
    // From now on every change reaches the disk soon after it is made, and other versions of
    // the list are taken in.
    void startAutomaticSaves();

    // Something a save writes has changed (the table marks its own changes): a save
    // follows within the delay.
    void markChanged();
    // True from a change until a save of it is on the disk.
    bool hasUnsavedChanges() const { return changed_ || saver_.isSaving(); }
    // The folder of what the program keeps about this list beside the rescue copies.
    QString stateFolder() const { return state_.folder(); }

    // The close's save, with every box; a failure names the rescue copy that holds the tasks
    // instead. Returns false when the tasks reached no file at all and a person asked for the
    // close: the window should then stay, and the keeper goes on trying on its own.
    bool saveOnClose(CloseKind kind);
    // The process ends without its event loop (the X server went away): saves what is not
    // on the disk yet, rescued when the list refuses it, without any box.
    void saveBeforeExit();

signals:
    // Another version of the list was taken into the table or merged with it. The table's
    // change that comes with it is not one of the program's own: nothing is saved for it, not
    // even what the window does about it meanwhile (fitting the columns); a merge that holds
    // more than the other version is saved on its own.
    void otherVersionTakenIn();

private:
    // Where the keeper is in the list's life: reading it, keeping it saved, or done.
    enum class Phase { Starting, Running, Closed };
    enum class Audience { Automatic, Close, CloseStayingOpen };
    // Where another version of the list comes from: the list's own place on the disk, or a
    // copy beside it (a sync tool's conflict copy, a rescue copy of a former run).
    enum class Source { List, Copy };
    // A cell of another version that waits for the cell editor to close.
    struct WaitingCell {
        CellPos cell;
        QString base;
        QString theirs;
    };

    void onAutoSaveTimer();
    ToDoListData snapshot() const;
    void watchList();
    void onListTouched();
    void lookForOtherVersion();
    // Another version merged with what the user has, before the table takes it.
    struct Merge {
        // Made on the window's thread, filled wherever the merge is made.
        std::unique_ptr<TaskTable> base = std::make_unique<TaskTable>();
        std::unique_ptr<TaskTable> theirs = std::make_unique<TaskTable>();
        std::unique_ptr<TaskTable> merged = std::make_unique<TaskTable>();
        LoadReport loaded;
        MergeOutcome outcome;
        bool moreThanTheDisk = false;  // the merge holds more than `disk`: it is to be saved
        QString backup;                // where the other version was kept, if it was
        void compute(const TaskTable& ours, const TaskTable& disk);
    };
    // The list's own place read on the reader's thread, and merged there with a copy of the
    // table as it was then.
    struct Arrival {
        std::unique_ptr<TaskTable> ours = std::make_unique<TaskTable>();
        quint64 tableChanges = 0;  // the table's changes when it was copied
        std::optional<QByteArray> content;
        bool deleted = false;  // no file where the program knew one
        bool readable = false;
        Merge merge;
    };
    // Merges another version with the table; false when it cannot be read.
    bool mergeIn(const QByteArray& content, Source source, QString* keptAt = nullptr);
    void takeIn(const QByteArray& content, Source source, Merge& merge);
    void startReadingOtherVersion();
    void readOtherVersion(Arrival& arrival);  // on the reader's thread
    void onOtherVersionRead();
    void takeInArrival(Arrival& arrival);
    void mergeWaitingCells();
    void lookForConflictCopies();
    void mergeRecentCopiesAgain(const TaskTable& arrived);
    void bringBackRescue();
    void keepUnreadableOtherVersion(const QByteArray& content);
    void startBackgroundSave();
    void onBackgroundSaveFinished();
    // Takes in what a save learnt: the version it saved, or the one it found in its place.
    void takeInOutcome(const SaveAttempt& attempt);
    // Waits for the save under way and takes its outcome in, reporting only its notices:
    // a save that reports for itself follows at once.
    void finishBackgroundSave();
    void report(Audience audience, const SaveAttempt& attempt);
    // What a save kept of someone else's version, and a hard link it split.
    void reportNotices(const ListFile::SaveOutcome& outcome);
    void keepUnreadable(const QByteArray& content);
    // The last resort of a close that no file takes: the tasks' texts go to the log.
    void writeTasksToLog() const;

    ListKeeperSettings settings_;
    const Texts& texts_;
    TaskTable& table_;
    MessageBoxes& boxes_;
    ListWindow& window_;
    std::unique_ptr<FileOps> ownOps_;
    FileOps& ops_;
    ListFile file_;
    Rescue rescue_;  // touched by the save thread only while a save runs there
    // What the program keeps about the list is its own business, not the list's: written
    // through the system's file layer, whatever the list's is.
    PosixFileOps stateOps_;
    ListState state_;  // likewise touched by the save thread
    ListSaver saver_;
    // Reads and merges another version; it and a save never run at once.
    BackgroundJob reader_;
    std::unique_ptr<Arrival> arrival_;
    quint64 tableChanges_ = 0;
    KnownVersions versions_;
    std::unique_ptr<TaskTable> savingTable_;    // the table as the save under way writes it
    std::unique_ptr<TaskTable> savingAgainst_;  // the version on the disk it saves over
    QTimer autoSaveTimer_;
    ListWatcher watcher_;
    QTimer otherVersionTimer_;
    bool otherVersionPending_ = false;  // the file was touched while a save ran
    bool takingIn_ = false;
    QByteArray unreadableDigest_;     // of another version that could not be read, last look
    QList<QByteArray> passedCopies_;  // digests of conflict copies that cannot be merged
    std::vector<WaitingCell> waitingCells_;
    // Conflict copies merged lately: a version that won over one may land after it.
    struct RecentCopy {
        QByteArray content;
        QElapsedTimer since;
    };
    std::vector<RecentCopy> recentCopies_;

    Phase phase_ = Phase::Starting;
    bool changed_ = false;
    bool failureShown_ = false;  // an automatic save's failure was told; quiet until one works
    bool hardLinkTold_ = false;
    QString keptUnreadable_;
    int keepUnreadableError_ = 0;
};

}  // namespace taskwick
