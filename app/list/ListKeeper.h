#pragma once

#include "storage/ListFile.h"
#include "storage/Rescue.h"
#include "storage/ToDoListLoader.h"
#include "storage/ToDoListSaver.h"
#include "table/model/TaskTable.h"
#include "texts/Texts.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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
    // While a cell is being edited, another version of the list waits.
    virtual bool isEditingCell() const = 0;
};

struct ListKeeperSettings {
    Language language = Language::English;
    QString appFolder;           // folder of the list, with a trailing "/"
    FileOps* fileOps = nullptr;  // null: the real file layer
    int autoSaveDelayMs = 2000;  // how long after a change the list is saved on its own
    // Where the tasks go when the list cannot be saved; empty: rescueFoldersOfUser().
    QStringList rescueFolders;
};

// The user's list on the disk, over the whole run: it reads the list at start and keeps a
// copy of what the program would not save back; saves soon after every change, on a thread
// of its own; saves at the close; and when the list cannot be written, puts the tasks into a
// rescue copy that the user is told about. It watches the file too: a version that someone
// else writes (a sync tool, an editor, another instance) is taken into the table while the
// program has nothing unsaved, and never overwritten by an older one. The window only says
// when.
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
    bool hasUnsavedChanges() const { return changed_ || saving_; }

    // The close's save, with every box; a failure names the rescue copy that holds the tasks
    // instead. Returns false when the tasks reached no file at all and a person asked for the
    // close: the window should then stay, and the keeper goes on trying on its own.
    bool saveOnClose(CloseKind kind);
    // The process ends without its event loop (the X server went away): saves what is not
    // on the disk yet, rescued when the list refuses it, without any box.
    void saveBeforeExit();

signals:
    // Another version of the list was taken into the table. The table's change that comes
    // with it is not one of the program's own: nothing is saved for it, not even what the
    // window does about it meanwhile (fitting the columns).
    void otherVersionTakenIn();

private:
    enum class Audience { Automatic, Close, CloseStayingOpen };
    struct SaveAttempt {
        ListFile::SaveOutcome outcome;
        std::optional<KeptCopy> rescue;  // made when the list could not be saved
    };

    void onAutoSaveTimer();
    ToDoListData snapshot() const;
    SaveAttempt save(const ToDoListData& data, SkipUnchanged skip, OtherVersions others);
    void watchList();
    void onListTouched();
    void lookForOtherVersion();
    void takeIn(const QByteArray& content);
    void keepUnreadableOtherVersion(const QByteArray& content);
    void startBackgroundSave(ToDoListData data);
    void onBackgroundSaveFinished(quint64 generation);
    // Waits for the save under way and takes its outcome in, reporting only its notices:
    // a save that reports for itself follows at once.
    void finishBackgroundSave();
    std::optional<SaveAttempt> joinBackgroundSave();
    void report(Audience audience, const SaveAttempt& attempt);
    // What a save kept of someone else's version, and a hard link it split.
    void reportNotices(const ListFile::SaveOutcome& outcome);
    void keepUnreadable(const QByteArray& content);

    ListKeeperSettings settings_;
    const Texts& texts_;
    TaskTable& table_;
    MessageBoxes& boxes_;
    ListWindow& window_;
    std::unique_ptr<FileOps> ownOps_;
    FileOps& ops_;
    ListFile file_;
    Rescue rescue_;  // touched by the save thread only while a save runs there
    QTimer autoSaveTimer_;
    QFileSystemWatcher watcher_;
    QTimer otherVersionTimer_;
    bool otherVersionPending_ = false;  // the file was touched while a save ran
    bool takingIn_ = false;
    QByteArray unreadableDigest_;  // of another version that could not be read, last look

    bool automaticSaves_ = false;
    bool changed_ = false;
    bool failureShown_ = false;  // an automatic save's failure was told; quiet until one works
    bool hardLinkTold_ = false;
    QString keptUnreadable_;
    int keepUnreadableError_ = 0;

    // The save under way on its own thread. `finished_` is written there and read here once
    // the thread is joined or has said it is done.
    std::thread thread_;
    bool saving_ = false;
    quint64 generation_ = 0;
    std::mutex finishedMutex_;
    std::optional<SaveAttempt> finished_;
};

}  // namespace taskwick
