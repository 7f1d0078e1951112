#include "app/list/ListKeeper.h"

#include "app/boxes/MessageBoxes.h"
#include "app/list/SaveMessages.h"
#include "storage/XmlWriter.h"
#include "texts/ErrorContexts.h"

#include <QDateTime>
#include <QFileInfo>

#include <system_error>
#include <utility>

namespace taskwick {

namespace {

// A writer's burst of changes (a temporary file, a rename) settles before the list is read.
constexpr int OtherVersionDelayMs = 200;
// How often a version that waits for the cell editor to close looks again.
constexpr int EditingRetryMs = 500;
// A version that cannot be read may be one that its writer is still writing: it counts as
// unreadable once it has stayed the same this long.
constexpr int UnreadableSettleMs = 1000;

// Takes another version of the list into a table of its own; the skin stays as the user has it
// (the window's place is the window's anyway), and a failure only says the version cannot be
// taken in.
class OtherVersionTarget : public LoadTarget {
public:
    explicit OtherVersionTarget(TaskTable& table) : table_(table) {}
    bool failed() const { return failed_; }

    TaskTable& table() override { return table_; }
    QString currentSkinName() const override { return {}; }
    QString currentSkinPath() const override { return {}; }
    void setCurrentSkinName(const QString&) override {}
    void setCurrentSkinPath(const QString&) override {}
    void loadSkin() override {}
    void reportFailure(const QString&) override { failed_ = true; }

private:
    TaskTable& table_;
    bool failed_ = false;
};

}  // namespace

ListKeeper::ListKeeper(ListKeeperSettings settings, TaskTable& table, MessageBoxes& boxes,
                       ListWindow& window, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      texts_(textsFor(settings_.language)),
      table_(table),
      boxes_(boxes),
      window_(window),
      ownOps_(settings_.fileOps ? nullptr : std::make_unique<PosixFileOps>()),
      ops_(settings_.fileOps ? *settings_.fileOps : *ownOps_),
      file_(ops_, settings_.appFolder),
      rescue_(ops_, file_.path(),
              settings_.rescueFolders.isEmpty() ? rescueFoldersOfUser() : settings_.rescueFolders) {
    autoSaveTimer_.setInterval(settings_.autoSaveDelayMs);
    autoSaveTimer_.setSingleShot(true);
    connect(&autoSaveTimer_, &QTimer::timeout, this, &ListKeeper::onAutoSaveTimer);
    connect(&table_, &TaskTable::changed, this, &ListKeeper::markChanged);
    otherVersionTimer_.setSingleShot(true);
    connect(&otherVersionTimer_, &QTimer::timeout, this, &ListKeeper::lookForOtherVersion);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &ListKeeper::onListTouched);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &ListKeeper::onListTouched);
}

ListKeeper::~ListKeeper() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

LoadReport ListKeeper::load(LoadTarget& target) {
    QByteArray content;
    const bool read = file_.read(&content) == 0;
    if (!read) {
        // Whatever the file holds, it is not known to be ours: the first save keeps it.
        file_.forget();
    }
    const auto keep = [&] {
        if (read && !isBlankListContent(content) && keptUnreadable_.isEmpty() &&
            keepUnreadableError_ == 0) {
            keepUnreadable(content);
        }
    };
    LoadReport loaded;
    {
        const TaskTable::ChangeBatch oneChange(table_);
        loaded = loadToDoList(read ? &content : nullptr, target, keep);
    }
    if (loaded.droppedContent) {
        keep();  // the next save would write less than the file holds
    }
    if (!keptUnreadable_.isEmpty()) {
        boxes_.showInfo(loaded.nothingApplied
                            ? texts_.unusableListKeptText(path(), keptUnreadable_)
                            : texts_.unreadableListKeptText(path(), keptUnreadable_),
                        texts_.noticeTitle);
    } else if (keepUnreadableError_ != 0) {
        boxes_.showError(
            texts_.saveTempFileText(settings_.appFolder, errnoName(keepUnreadableError_)),
            texts_.saveErrorTitle);
    }
    return loaded;
}

void ListKeeper::keepUnreadable(const QByteArray& content) {
    const KeptCopy copy =
        keepCopyBeside(ops_, path(), content, UnreadableReason, QDateTime::currentDateTime());
    if (copy.ok()) {
        keptUnreadable_ = copy.path;
    } else {
        keepUnreadableError_ = copy.error;
        // Not kept: the save must find the file foreign and try again before replacing it.
        file_.forget();
    }
}

void ListKeeper::startWithoutList() {
    file_.rememberAbsent();
}

void ListKeeper::startAutomaticSaves() {
    automaticSaves_ = true;
    watchList();
}

void ListKeeper::markChanged() {
    if (!automaticSaves_ || takingIn_) {
        return;
    }
    changed_ = true;
    // Not restarted by later changes: every change reaches the disk within the delay, even
    // while the user keeps typing.
    if (!autoSaveTimer_.isActive()) {
        autoSaveTimer_.start();
    }
}

void ListKeeper::onAutoSaveTimer() {
    // A save still under way is followed by this one once it is done.
    if (automaticSaves_ && changed_ && !saving_) {
        changed_ = false;
        startBackgroundSave(snapshot());
    }
}

ToDoListData ListKeeper::snapshot() const {
    return snapshotForSave(window_.placement(), table_);
}

ListKeeper::SaveAttempt ListKeeper::save(const ToDoListData& data, SkipUnchanged skip,
                                         OtherVersions others) {
    SaveAttempt attempt;
    QByteArray content;
    try {
        content = writeToDoList(data);
    } catch (...) {
        attempt.outcome.result.step = SaveResult::BuildDocument;
        return attempt;
    }
    const QDateTime now = QDateTime::currentDateTime();
    if (skip == SkipUnchanged::No || !file_.isKnownVersion(content)) {
        attempt.outcome = file_.save(content, now, others);
    }
    if (attempt.outcome.result.ok()) {
        rescue_.discard();  // the list holds the tasks again
    } else {
        attempt.rescue = rescue_.keep(content, now);
    }
    return attempt;
}

void ListKeeper::startBackgroundSave(ToDoListData data) {
    if (thread_.joinable()) {
        thread_.join();
    }
    saving_ = true;
    const quint64 generation = ++generation_;
    // Building the document and the disk's part run on a thread of their own, so typing goes
    // on meanwhile; the list file and the rescue are touched by nobody else until it is done.
    const auto job =
        std::make_shared<std::function<void()>>([this, data = std::move(data), generation] {
            SaveAttempt attempt = save(data, SkipUnchanged::Yes, OtherVersions::KeepBeside);
            {
                const std::lock_guard lock(finishedMutex_);
                finished_ = std::move(attempt);
            }
            QMetaObject::invokeMethod(
                this, [this, generation] { onBackgroundSaveFinished(generation); },
                Qt::QueuedConnection);
        });
    try {
        thread_ = std::thread([job] { (*job)(); });
    } catch (const std::system_error&) {
        // No thread to be had (a thread or memory limit): the save runs here instead, so that
        // it ends all the same.
        (*job)();
    }
}

std::optional<ListKeeper::SaveAttempt> ListKeeper::joinBackgroundSave() {
    if (!saving_) {
        return std::nullopt;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    saving_ = false;
    const std::lock_guard lock(finishedMutex_);
    return std::exchange(finished_, std::nullopt);
}

void ListKeeper::onBackgroundSaveFinished(quint64 generation) {
    if (generation != generation_) {
        return;  // taken in already by the close
    }
    const std::optional<SaveAttempt> attempt = joinBackgroundSave();
    if (!attempt) {
        return;
    }
    if (!attempt->outcome.result.ok() &&
        attempt->outcome.result.step != SaveResult::BuildDocument) {
        changed_ = true;  // tried again after the delay, quietly
    }
    report(Audience::Automatic, *attempt);
    if (changed_ && automaticSaves_ && !autoSaveTimer_.isActive()) {
        autoSaveTimer_.start();
    }
    if (std::exchange(otherVersionPending_, false)) {
        otherVersionTimer_.start(OtherVersionDelayMs);
    }
}

void ListKeeper::finishBackgroundSave() {
    const std::optional<SaveAttempt> attempt = joinBackgroundSave();
    if (!attempt) {
        return;
    }
    // Its failure is told by the save that follows at once; what it kept is told here.
    reportNotices(attempt->outcome);
    if (!attempt->outcome.result.ok()) {
        changed_ = true;
    }
}

bool ListKeeper::saveOnClose(CloseKind kind) {
    automaticSaves_ = false;
    autoSaveTimer_.stop();
    finishBackgroundSave();
    // Written even when the tasks were saved before: the file also holds the window's place.
    // With nothing unsaved, though, a version someone else wrote is newer and stays.
    const SaveAttempt attempt = save(snapshot(), SkipUnchanged::No,
                                     changed_ ? OtherVersions::KeepBeside : OtherVersions::Yield);
    changed_ = false;
    const SaveResult& result = attempt.outcome.result;
    const bool onDisk = result.ok() || (attempt.rescue && attempt.rescue->ok());
    // A document that cannot be built cannot be rescued either; the close ends as it always did.
    const bool stay =
        !onDisk && result.step != SaveResult::BuildDocument && kind == CloseKind::ByUser;
    report(stay ? Audience::CloseStayingOpen : Audience::Close, attempt);
    if (stay) {
        // Tried again on its own while the window stays, and once more at the next close.
        automaticSaves_ = true;
        changed_ = true;
        autoSaveTimer_.start();
    }
    return !stay;
}

void ListKeeper::saveBeforeExit() {
    automaticSaves_ = false;
    autoSaveTimer_.stop();
    if (const std::optional<SaveAttempt> attempt = joinBackgroundSave();
        attempt && !attempt->outcome.result.ok()) {
        changed_ = true;
    }
    if (changed_) {
        save(snapshot(), SkipUnchanged::Yes, OtherVersions::KeepBeside);
        changed_ = false;
    }
}

void ListKeeper::watchList() {
    // The folders too: editors and sync tools replace a file by renaming another over it,
    // which ends a watch on the file itself. For a list that is a link, the file it leads to.
    QStringList paths{settings_.appFolder, path()};
    const QFileInfo list(path());
    if (list.isSymLink()) {
        if (const QString target = list.canonicalFilePath(); !target.isEmpty()) {
            paths << target << QFileInfo(target).absolutePath();
        }
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString& p : paths) {
        if (!watched.contains(p) && QFileInfo::exists(p)) {
            watcher_.addPath(p);
        }
    }
}

void ListKeeper::onListTouched() {
    if (automaticSaves_ && !otherVersionTimer_.isActive()) {
        otherVersionTimer_.start(OtherVersionDelayMs);
    }
}

void ListKeeper::lookForOtherVersion() {
    if (!automaticSaves_) {
        return;
    }
    watchList();
    if (saving_) {
        otherVersionPending_ = true;  // looked at once that save is done
        return;
    }
    if (changed_) {
        return;  // the save that follows keeps that version beside the program's own
    }
    if (window_.isEditingCell()) {
        otherVersionTimer_.start(EditingRetryMs);
        return;
    }
    if (const std::optional<QByteArray> other = file_.otherVersion()) {
        takeIn(*other);
    }
}

void ListKeeper::takeIn(const QByteArray& content) {
    // Read into a table of its own first: only a version that reads completely replaces
    // what the user sees.
    TaskTable scratch;
    OtherVersionTarget target(scratch);
    const LoadReport loaded = loadToDoList(&content, target);
    if (target.failed()) {
        keepUnreadableOtherVersion(content);
        return;
    }
    unreadableDigest_.clear();
    takingIn_ = true;
    table_.takeContentOf(scratch);
    file_.remember(content);
    emit otherVersionTakenIn();
    takingIn_ = false;
    if (loaded.droppedContent) {
        const KeptCopy copy =
            keepCopyBeside(ops_, path(), content, UnreadableReason, QDateTime::currentDateTime());
        if (copy.ok()) {
            boxes_.showInfo(texts_.unreadableListKeptText(path(), copy.path), texts_.noticeTitle);
        } else {
            file_.forget();  // the next save keeps it before it writes
        }
    }
}

void ListKeeper::keepUnreadableOtherVersion(const QByteArray& content) {
    const QByteArray digest = listDigest(content);
    if (digest != unreadableDigest_) {
        unreadableDigest_ = digest;  // perhaps half written: looked at again in a moment
        otherVersionTimer_.start(UnreadableSettleMs);
        return;
    }
    unreadableDigest_.clear();
    if (isBlankListContent(content)) {
        file_.remember(content);  // nothing in it to keep; the next save writes the list
        return;
    }
    const KeptCopy copy =
        keepCopyBeside(ops_, path(), content, UnreadableReason, QDateTime::currentDateTime());
    if (copy.ok()) {
        // Kept: the program's own list may take its place again.
        file_.remember(content);
        boxes_.showInfo(texts_.otherVersionUnreadableText(path(), copy.path), texts_.noticeTitle);
    }
}

void ListKeeper::reportNotices(const ListFile::SaveOutcome& outcome) {
    if (!outcome.keptChangedCopy.isEmpty()) {
        boxes_.showInfo(texts_.changedListKeptText(path(), outcome.keptChangedCopy),
                        texts_.noticeTitle);
    }
    if (outcome.result.splitHardLink && !std::exchange(hardLinkTold_, true)) {
        boxes_.showInfo(texts_.hardLinkSplitText(path()), texts_.noticeTitle);
    }
}

void ListKeeper::report(Audience audience, const SaveAttempt& attempt) {
    const SaveResult& result = attempt.outcome.result;
    reportNotices(attempt.outcome);
    if (result.ok()) {
        failureShown_ = false;
        return;
    }
    if (audience == Audience::Automatic && std::exchange(failureShown_, true)) {
        return;  // told once; quiet until a save works again
    }
    if (result.step == SaveResult::BuildDocument) {
        boxes_.showException(errorContext::SaveBuild);
        return;
    }
    QString text = saveErrorText(result, texts_, settings_.appFolder);
    if (attempt.rescue && attempt.rescue->ok()) {
        text += audience == Audience::Automatic ? texts_.rescuedMeanwhileText(attempt.rescue->path)
                                                : texts_.rescuedOnCloseText(attempt.rescue->path);
    } else if (audience == Audience::CloseStayingOpen) {
        text += texts_.notRescuedStayingOpenText();
    } else if (audience == Audience::Close) {
        text += texts_.notRescuedText();
    }
    boxes_.showError(text, texts_.saveErrorTitle);
}

}  // namespace taskwick
