#include "app/list/ListKeeper.h"

#include "app/boxes/MessageBoxes.h"
#include "app/list/SaveMessages.h"
#include "storage/XmlWriter.h"

#include <QDateTime>

#include <system_error>
#include <utility>

namespace taskwick {

ListKeeper::ListKeeper(ListKeeperSettings settings, TaskTable& table, MessageBoxes& boxes,
                       std::function<SaveSource()> placement, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      texts_(textsFor(settings_.language)),
      table_(table),
      boxes_(boxes),
      placement_(std::move(placement)),
      ownOps_(settings_.fileOps ? nullptr : std::make_unique<PosixFileOps>()),
      ops_(settings_.fileOps ? *settings_.fileOps : *ownOps_),
      file_(ops_, settings_.appFolder),
      rescue_(ops_, file_.path(),
              settings_.rescueFolders.isEmpty() ? rescueFoldersOfUser() : settings_.rescueFolders) {
    autoSaveTimer_.setInterval(settings_.autoSaveDelayMs);
    autoSaveTimer_.setSingleShot(true);
    connect(&autoSaveTimer_, &QTimer::timeout, this, &ListKeeper::onAutoSaveTimer);
    connect(&table_, &TaskTable::changed, this, &ListKeeper::markChanged);
}

ListKeeper::~ListKeeper() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ListKeeper::load(LoadTarget& target) {
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
}

void ListKeeper::markChanged() {
    if (!automaticSaves_) {
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
    return snapshotForSave(placement_(), table_);
}

ListKeeper::SaveAttempt ListKeeper::save(const ToDoListData& data, SkipUnchanged skip) {
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
        attempt.outcome = file_.save(content, now);
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
            SaveAttempt attempt = save(data, SkipUnchanged::Yes);
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
    const SaveAttempt attempt = save(snapshot(), SkipUnchanged::No);
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
        save(snapshot(), SkipUnchanged::Yes);
        changed_ = false;
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
        boxes_.showException(SaveBuildContext);
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
