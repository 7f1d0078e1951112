#include "app/list/ListKeeper.h"

#include "app/boxes/MessageBoxes.h"
#include "app/list/SaveMessages.h"
#include "storage/XmlWriter.h"
#include "table/merge/ListMerge.h"
#include "texts/ErrorContexts.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cerrno>
#include <cstdio>

#include <system_error>
#include <utility>

namespace taskwick {

namespace {

// A writer's burst of changes (a temporary file, a rename) settles before the list is read.
constexpr int OtherVersionDelayMs = 200;
// How often a cell of another version that waits for the cell editor to close looks again.
constexpr int EditingRetryMs = 500;
// A save that found another version in its place merges it and tries again this soon.
constexpr int MergedSaveDelayMs = 100;
// How long a conflict copy's words are merged again into versions that land after it.
constexpr qint64 RecentCopyMs = 30000;
// How often a close merges a version that keeps landing before it keeps one beside the list.
constexpr int CloseMergeAttempts = 3;

// The names sync tools give the copy of a list that two machines changed at once.
const QStringList ConflictCopyPatterns{
    QStringLiteral("ToDoList.sync-conflict-*.xml"),      // Syncthing
    QStringLiteral("ToDoList (*conflicted copy*).xml"),  // Nextcloud, ownCloud, Dropbox
};
// A version that cannot be read may be one that its writer is still writing: it counts as
// unreadable once it has stayed the same this long.
constexpr int UnreadableSettleMs = 1000;

QString rootOf(const QStringList& rescueFolders) {
    return rescueFolders.value(0, QDir::homePath() + QStringLiteral("/.local/state/taskwick/"));
}

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
              settings_.rescueFolders.isEmpty() ? rescueFoldersOfUser() : settings_.rescueFolders),
      state_(stateOps_,
             rootOf(settings_.rescueFolders.isEmpty() ? rescueFoldersOfUser()
                                                      : settings_.rescueFolders),
             file_.path()),
      saver_(file_, rescue_, state_) {
    autoSaveTimer_.setInterval(settings_.autoSaveDelayMs);
    autoSaveTimer_.setSingleShot(true);
    connect(&autoSaveTimer_, &QTimer::timeout, this, &ListKeeper::onAutoSaveTimer);
    connect(&saver_, &ListSaver::finished, this, &ListKeeper::onBackgroundSaveFinished);
    connect(&reader_, &BackgroundJob::finished, this, &ListKeeper::onOtherVersionRead);
    connect(&table_, &TaskTable::changed, this, [this] {
        ++tableChanges_;
        markChanged();
    });
    otherVersionTimer_.setSingleShot(true);
    connect(&otherVersionTimer_, &QTimer::timeout, this, &ListKeeper::lookForOtherVersion);
    connect(&watcher_, &ListWatcher::touched, this, &ListKeeper::onListTouched);
    connect(&watcher_, &ListWatcher::pollingStarted, this,
            [this] { boxes_.notifyInfo(texts_.listPolledText(path()), texts_.noticeTitle); });
}

ListKeeper::~ListKeeper() {
    // The jobs' threads read the tables this keeper holds.
    saver_.takeFinished();
    reader_.wait();
}

LoadReport ListKeeper::load(LoadTarget& target) {
    QByteArray content;
    const bool read = file_.read(&content) == 0;
    if (!read) {
        // Whatever the file holds, it is not known to be ours: the first save keeps it.
        file_.forget();
    }
    bool released = false;
    const auto keep = [&] {
        if (released) {
            // The bytes are gone (the table failed to take the tasks): the first save keeps
            // whatever the file holds.
            file_.forget();
        } else if (read && !isBlankListContent(content) && keptUnreadable_.isEmpty() &&
                   keepUnreadableError_ == 0) {
            keepUnreadable(content);
        }
    };
    // The file's bytes go before the tasks fill the table: a large list never takes the
    // memory of both.
    const auto afterReading = [&](const LoadReport& report) {
        if (report.droppedContent) {
            keep();  // the next save would write less than the file holds
        }
        released = true;
        content = QByteArray();
    };
    LoadReport loaded;
    {
        const TaskTable::ChangeBatch oneChange(table_);
        loaded = loadToDoList(read ? &content : nullptr, target, keep, afterReading);
    }
    // What a former run shared last comes first: a rescue copy of that run grew from it. It is
    // mostly the list as read, which is then not read into a table a second time.
    if (const QByteArray digest = state_.baseDigest();
        !digest.isEmpty() && !file_.isKnownDigest(digest)) {
        if (TaskTable former; loadListContent(state_.readBase(), former)) {
            versions_.add(former, KnownVersions::Origin::Read);
        }
    }
    versions_.add(table_, KnownVersions::Origin::Read);
    releaseFreedMemory();  // the file's bytes and what the reader kept of them meanwhile
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
    if (TaskTable former; loadListContent(state_.readBase(), former)) {
        versions_.add(former, KnownVersions::Origin::Read);
    }
}

void ListKeeper::startAutomaticSaves() {
    phase_ = Phase::Running;
    watchList();
    bringBackRescue();
    lookForConflictCopies();
}

void ListKeeper::markChanged() {
    if (phase_ != Phase::Running || takingIn_) {
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
    // A save or a read of another version still under way is followed by this one once it is
    // done.
    if (phase_ == Phase::Running && changed_ && !saver_.isSaving() && !reader_.isRunning()) {
        changed_ = false;
        startBackgroundSave();
    }
}

namespace {

// What a save writes of `table`. A blank that only became empty (a loaded " " cleared as its
// cell became current) is no change: the file keeps the blank `disk` has, so a click alone
// writes nothing.
ToDoListData snapshotKeepingBlanks(const SaveSource& place, const TaskTable& table,
                                   const TaskTable& disk) {
    ToDoListData data = snapshotForSave(place, table);
    for (std::size_t row = 0; row < data.rows.size(); ++row) {
        for (std::size_t col = 0; col < data.rows[row].size(); ++col) {
            QString& text = data.rows[row][col];
            if (text.isEmpty()) {
                const QString before = disk.cell(static_cast<int>(col), static_cast<int>(row) + 1);
                if (!before.isEmpty() && isBlank(before)) {
                    text = before;
                }
            }
        }
    }
    return data;
}

}  // namespace

ToDoListData ListKeeper::snapshot() const {
    return snapshotKeepingBlanks(window_.placement(), table_, versions_.latest());
}

void ListKeeper::startBackgroundSave() {
    // Copies that share the table's texts: the save's thread reads them while the user goes on
    // typing. What the save writes becomes a known version once it is on the disk.
    savingTable_ = std::make_unique<TaskTable>();
    savingTable_->takeContentOf(table_);
    savingAgainst_ = std::make_unique<TaskTable>();
    savingAgainst_->takeContentOf(versions_.latest());
    saver_.startSave(
        [place = window_.placement(), table = savingTable_.get(), disk = savingAgainst_.get()] {
            return snapshotKeepingBlanks(place, *table, *disk);
        },
        OtherVersions::HandBack);
}

void ListKeeper::takeInOutcome(const SaveAttempt& attempt) {
    const std::unique_ptr<TaskTable> saved = std::move(savingTable_);
    savingAgainst_.reset();
    if (attempt.wrote && saved) {
        versions_.add(*saved, KnownVersions::Origin::Saved);
        // The list on the disk holds the copies' words now; what others do with them after
        // this is theirs to do.
        recentCopies_.clear();
    }
    if (!attempt.outcome.result.ok() && attempt.outcome.result.step != SaveResult::BuildDocument) {
        changed_ = true;  // tried again after the delay, quietly
    }
    if (!attempt.outcome.handedBack.isEmpty()) {
        // Someone else's version stands where the save meant to write: its words join ours,
        // and the merge is saved in its place.
        mergeIn(attempt.outcome.handedBack, Source::List);
        changed_ = true;
    }
}

void ListKeeper::onBackgroundSaveFinished() {
    const std::optional<SaveAttempt> attempt = saver_.takeFinished();
    if (!attempt) {
        return;
    }
    takeInOutcome(*attempt);
    releaseFreedMemory();  // the version the save replaced as the newest known one
    report(Audience::Automatic, *attempt);
    if (changed_ && phase_ == Phase::Running && !autoSaveTimer_.isActive()) {
        autoSaveTimer_.start(attempt->outcome.handedBack.isEmpty() ? settings_.autoSaveDelayMs
                                                                   : MergedSaveDelayMs);
    }
    if (std::exchange(otherVersionPending_, false)) {
        otherVersionTimer_.start(OtherVersionDelayMs);
    }
}

void ListKeeper::finishBackgroundSave() {
    const std::optional<SaveAttempt> attempt = saver_.takeFinished();
    if (!attempt) {
        return;
    }
    takeInOutcome(*attempt);
    // Its failure is told by the save that follows at once; what it kept is told here.
    reportNotices(attempt->outcome);
}

bool ListKeeper::saveOnClose(CloseKind kind) {
    phase_ = Phase::Closed;
    autoSaveTimer_.stop();
    // A version read meanwhile is read again by the save below, and merged or yielded to.
    reader_.wait();
    arrival_.reset();
    finishBackgroundSave();
    mergeWaitingCells();
    // With nothing unsaved, a version someone else wrote is newer and stays. With changes of
    // our own, it is merged and the merge saved; one that keeps landing is kept beside.
    SaveAttempt attempt;
    for (int round = 0;; ++round) {
        const OtherVersions others = !changed_                    ? OtherVersions::Yield
                                     : round < CloseMergeAttempts ? OtherVersions::HandBack
                                                                  : OtherVersions::KeepBeside;
        attempt = saver_.save(snapshot(), others);
        if (attempt.outcome.handedBack.isEmpty()) {
            break;
        }
        mergeIn(attempt.outcome.handedBack, Source::List);
        mergeWaitingCells();  // the editor's text is final now
        changed_ = true;
    }
    changed_ = false;
    const SaveResult& result = attempt.outcome.result;
    const bool onDisk = result.ok() || (attempt.rescue && attempt.rescue->ok());
    // A document that cannot be built cannot be rescued either; the close ends as it always did.
    const bool stay =
        !onDisk && result.step != SaveResult::BuildDocument && kind == CloseKind::ByUser;
    report(stay ? Audience::CloseStayingOpen : Audience::Close, attempt);
    if (!onDisk && !stay) {
        writeTasksToLog();
    }
    if (stay) {
        // Tried again on its own while the window stays, and once more at the next close.
        phase_ = Phase::Running;
        changed_ = true;
        autoSaveTimer_.start();
    }
    return !stay;
}

void ListKeeper::writeTasksToLog() const {
    std::fprintf(stderr, "taskwick: the tasks could not be saved anywhere; they follow here.\n");
    for (int row = 0; row < table_.rowCount(); ++row) {
        for (int col = 0; col < table_.colCount(); ++col) {
            if (const QString text = table_.cell(col, row); !isBlank(text)) {
                std::fprintf(stderr, "taskwick: %s: %s\n",
                             texts_.cellName(col, row).toLocal8Bit().constData(),
                             text.toLocal8Bit().constData());
            }
        }
    }
    std::fflush(stderr);
}

void ListKeeper::saveBeforeExit() {
    phase_ = Phase::Closed;
    autoSaveTimer_.stop();
    reader_.wait();
    arrival_.reset();
    if (const std::optional<SaveAttempt> attempt = saver_.takeFinished();
        attempt && !attempt->outcome.result.ok()) {
        changed_ = true;
    }
    if (changed_) {
        saver_.save(snapshot(), OtherVersions::KeepBeside);
        changed_ = false;
    }
}

void ListKeeper::watchList() {
    QStringList paths{settings_.appFolder, path()};
    const QFileInfo list(path());
    if (list.isSymLink()) {
        if (const QString target = list.canonicalFilePath(); !target.isEmpty()) {
            paths << target << QFileInfo(target).absolutePath();
        }
    }
    watcher_.watch(paths);
}

void ListKeeper::onListTouched() {
    if (phase_ == Phase::Running && !otherVersionTimer_.isActive()) {
        otherVersionTimer_.start(OtherVersionDelayMs);
    }
}

void ListKeeper::lookForOtherVersion() {
    if (phase_ != Phase::Running) {
        return;
    }
    watchList();
    if (saver_.isSaving() || reader_.isRunning()) {
        otherVersionPending_ = true;  // looked at once that job is done
        return;
    }
    mergeWaitingCells();
    // The list's own version first: a sync tool that makes a conflict copy puts the winning
    // version in the list's place, and the copy's words go into that. The file the program
    // last read or wrote, untouched since (its own save, say), is not read again.
    if (file_.unchangedSinceKnown()) {
        lookForConflictCopies();
    } else {
        startReadingOtherVersion();  // the copies are looked for once it is taken in
    }
}

void ListKeeper::mergeRecentCopiesAgain(const TaskTable& arrived) {
    // A copy whose words the version that arrived holds already is done with: merging it
    // again would only undo what someone did with those words since.
    std::erase_if(recentCopies_, [&](const RecentCopy& copy) {
        if (copy.since.hasExpired(RecentCopyMs)) {
            return true;
        }
        TaskTable words, withCopy;
        if (!loadListContent(copy.content, words)) {
            return true;
        }
        mergeLists(versions_.baseForCopy(words), arrived, words, withCopy);
        return sameList(withCopy, arrived);
    });
    for (const RecentCopy& copy : recentCopies_) {
        mergeIn(copy.content, Source::Copy);
    }
}

bool ListKeeper::mergeIn(const QByteArray& content, Source source, QString* keptAt) {
    Merge merge;
    if (!loadListContent(content, *merge.theirs, &merge.loaded)) {
        if (source == Source::List) {
            keepUnreadableOtherVersion(content);
        }
        return false;
    }
    unreadableDigest_.clear();
    // A version in the list's place grew from the last one shared with the disk; a copy's
    // history is unknown.
    merge.base->takeContentOf(source == Source::List ? versions_.latest()
                                                     : versions_.baseForCopy(*merge.theirs));
    const TaskTable& disk = source == Source::List ? *merge.theirs : versions_.latest();
    merge.compute(table_, disk);
    if (source == Source::List) {
        file_.remember(content);
        state_.writeBase(content);
    }
    takeIn(content, source, merge);
    if (keptAt) {
        *keptAt = merge.backup;
    }
    return true;
}

void ListKeeper::Merge::compute(const TaskTable& ours, const TaskTable& disk) {
    outcome = mergeLists(*base, ours, *theirs, *merged);
    moreThanTheDisk = !sameList(*merged, disk);
    // The table and the version it merged stay known side by side: mostly the same texts,
    // kept once.
    merged->shareEqualTexts(ours);
    theirs->shareEqualTexts(*merged);
}

void ListKeeper::takeIn(const QByteArray& content, Source source, Merge& merge) {
    TaskTable& merged = *merge.merged;
    const TaskTable& theirs = *merge.theirs;
    if (const std::optional<CellPos> open = window_.editedCell()) {
        // The editor's text stays as the user types it; the other side's joins it once the
        // editor closes.
        const QString typing = table_.cell(open->col, open->row);
        if (merged.cell(open->col, open->row) != typing) {
            waitingCells_.push_back(
                {*open, merge.base->cell(open->col, open->row), theirs.cell(open->col, open->row)});
            merged.setCell(open->col, open->row, typing);
            std::erase(merge.outcome.conflicts, *open);
            merge.moreThanTheDisk =
                merge.moreThanTheDisk || typing != theirs.cell(open->col, open->row);
            otherVersionTimer_.start(EditingRetryMs);
        }
    }
    if (merge.moreThanTheDisk && source == Source::List && merge.backup.isEmpty()) {
        // Its words are in the merge; the version itself is kept all the same.
        merge.backup =
            state_.keepBackup(content, DisplacedReason, QDateTime::currentDateTime()).path;
    }

    takingIn_ = true;
    table_.takeContentOf(merged);
    versions_.add(theirs, KnownVersions::Origin::TakenIn);
    emit otherVersionTakenIn();
    takingIn_ = false;
    if (merge.moreThanTheDisk) {
        markChanged();
    }
    const auto names = [this](const std::vector<CellPos>& cells) {
        QStringList names;
        for (const CellPos& cell : cells) {
            names << texts_.cellName(cell.col, cell.row);
        }
        return names.join(QStringLiteral("; "));
    };
    if (!merge.outcome.conflicts.empty()) {
        boxes_.notifyInfo(
            texts_.mergedWithConflictsText(path(), names(merge.outcome.conflicts), merge.backup),
            texts_.noticeTitle);
    }
    if (!merge.outcome.joined.empty()) {
        // The other side merged our words with its own: this window is told too.
        boxes_.notifyInfo(texts_.joinedByOtherVersionText(path(), names(merge.outcome.joined)),
                          texts_.noticeTitle);
    }
    if (source == Source::List && !recentCopies_.empty()) {
        // A version that lands just after a sync tool's conflict copy may be the one that won
        // over it: the copy's words go into it again.
        mergeRecentCopiesAgain(theirs);
    }
    if (merge.loaded.droppedContent && source == Source::List) {
        const KeptCopy copy =
            keepCopyBeside(ops_, path(), content, UnreadableReason, QDateTime::currentDateTime());
        if (copy.ok()) {
            boxes_.notifyInfo(texts_.unreadableListKeptText(path(), copy.path), texts_.noticeTitle);
        } else {
            file_.forget();  // the next save keeps it before it writes
        }
    }
}

void ListKeeper::startReadingOtherVersion() {
    // Copies that share the texts: the job reads, merges and keeps what it must while the
    // user goes on typing.
    arrival_ = std::make_unique<Arrival>();
    arrival_->merge.base->takeContentOf(versions_.latest());
    arrival_->ours->takeContentOf(table_);
    arrival_->tableChanges = tableChanges_;
    reader_.start([this, arrival = arrival_.get()] { readOtherVersion(*arrival); });
}

void ListKeeper::readOtherVersion(Arrival& arrival) {
    arrival.content = file_.otherVersion();
    if (!arrival.content) {
        PathStatus status;
        arrival.deleted =
            file_.knowsAVersion() && ops_.statusFollowingLinks(path(), &status) == ENOENT;
        return;
    }
    Merge& merge = arrival.merge;
    arrival.readable = loadListContent(*arrival.content, *merge.theirs, &merge.loaded);
    if (!arrival.readable) {
        return;
    }
    merge.compute(*arrival.ours, *merge.theirs);
    if (merge.moreThanTheDisk) {
        merge.backup =
            state_.keepBackup(*arrival.content, DisplacedReason, QDateTime::currentDateTime()).path;
    }
    // The version the list shares with the disk from now on, whatever the window does next.
    state_.writeBase(*arrival.content);
}

void ListKeeper::onOtherVersionRead() {
    if (!reader_.wait() || !arrival_) {
        return;
    }
    {
        const std::unique_ptr<Arrival> arrival = std::move(arrival_);
        if (phase_ == Phase::Running) {
            takeInArrival(*arrival);
            lookForConflictCopies();
        }
    }
    releaseFreedMemory();  // what the version it replaced held
    if (changed_ && phase_ == Phase::Running && !autoSaveTimer_.isActive()) {
        autoSaveTimer_.start();
    }
    if (std::exchange(otherVersionPending_, false)) {
        otherVersionTimer_.start(OtherVersionDelayMs);
    }
}

void ListKeeper::takeInArrival(Arrival& arrival) {
    if (!arrival.content) {
        if (arrival.deleted) {
            // The list was deleted: the tasks go back to the disk within the delay.
            file_.rememberAbsent();
            markChanged();
        }
        return;
    }
    if (!arrival.readable) {
        keepUnreadableOtherVersion(*arrival.content);
        return;
    }
    unreadableDigest_.clear();
    file_.rememberLastRead();
    Merge& merge = arrival.merge;
    if (tableChanges_ != arrival.tableChanges) {
        // The user changed the list while it was merged: merged again with what is there now.
        merge.compute(table_, *merge.theirs);
    }
    takeIn(*arrival.content, Source::List, merge);
}

void ListKeeper::mergeWaitingCells() {
    if (waitingCells_.empty()) {
        return;
    }
    const std::optional<CellPos> open = window_.editedCell();
    std::vector<WaitingCell> still;
    for (const WaitingCell& w : waitingCells_) {
        if (open && *open == w.cell && phase_ == Phase::Running) {
            still.push_back(w);
            continue;
        }
        bool conflict = false;
        table_.setCell(
            w.cell.col, w.cell.row,
            mergedCellText(w.base, table_.cell(w.cell.col, w.cell.row), w.theirs, &conflict));
        if (conflict) {
            boxes_.notifyInfo(texts_.mergedWithConflictsText(
                                  path(), texts_.cellName(w.cell.col, w.cell.row), QString()),
                              texts_.noticeTitle);
        }
    }
    waitingCells_ = std::move(still);
    if (!waitingCells_.empty()) {
        otherVersionTimer_.start(EditingRetryMs);
    }
}

void ListKeeper::lookForConflictCopies() {
    const QDir folder(QFileInfo(path()).absolutePath());
    for (const QString& name : folder.entryList(ConflictCopyPatterns, QDir::Files | QDir::Hidden)) {
        const QString copyPath = folder.filePath(name);
        QByteArray content;
        if (ops_.readAll(copyPath, &content) != 0 || passedCopies_.contains(listDigest(content))) {
            continue;
        }
        if (!mergeIn(content, Source::Copy)) {
            passedCopies_ << listDigest(content);  // not a list: left where it is
            continue;
        }
        recentCopies_.push_back({content, {}});
        recentCopies_.back().since.start();
        const QString moved =
            state_.moveIntoBackups(copyPath, content, ConflictReason, QDateTime::currentDateTime());
        if (moved.isEmpty()) {
            passedCopies_ << listDigest(content);  // merged once is enough
        }
        boxes_.notifyInfo(
            texts_.conflictCopyMergedText(copyPath, moved.isEmpty() ? copyPath : moved),
            texts_.noticeTitle);
    }
}

void ListKeeper::bringBackRescue() {
    const QString rescued = state_.recordedRescue();
    if (rescued.isEmpty()) {
        return;
    }
    QByteArray content;
    if (ops_.readAll(rescued, &content) != 0) {
        state_.forgetRescue();  // removed by hand, or saved after all
        return;
    }
    const QDateTime written = QFileInfo(rescued).lastModified();
    if (!mergeIn(content, Source::Copy)) {
        return;  // left where it is; the notice of its run named it
    }
    const QString moved =
        state_.moveIntoBackups(rescued, content, RescuedReason, QDateTime::currentDateTime());
    state_.forgetRescue();
    boxes_.notifyInfo(
        texts_.rescueMergedText(
            moved.isEmpty() ? rescued : moved,
            QLocale(settings_.language == Language::English ? QLocale::English : QLocale::German)
                .toString(written, QLocale::LongFormat)),
        texts_.noticeTitle);
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
        boxes_.notifyInfo(texts_.otherVersionUnreadableText(path(), copy.path), texts_.noticeTitle);
        // What the user has goes back into the list's place.
        markChanged();
    }
}

void ListKeeper::reportNotices(const ListFile::SaveOutcome& outcome) {
    if (!outcome.keptChangedCopy.isEmpty()) {
        boxes_.notifyInfo(texts_.changedListKeptText(path(), outcome.keptChangedCopy),
                          texts_.noticeTitle);
    }
    if (outcome.result.splitHardLink && !std::exchange(hardLinkTold_, true)) {
        boxes_.notifyInfo(texts_.hardLinkSplitText(path()), texts_.noticeTitle);
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
    if (audience == Audience::Automatic) {
        // The user may be typing: the notice does not take the keys.
        boxes_.notifyError(text, texts_.saveErrorTitle);
    } else {
        boxes_.showError(text, texts_.saveErrorTitle);
    }
}

}  // namespace taskwick
