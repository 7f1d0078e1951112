// The list's life without a window: the rules of the automatic save, and what happens to the
// tasks when the disk refuses them.
#include "app/list/ListKeeper.h"
#include "table/merge/ListMerge.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RecordingBoxPresenter.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace taskwick;
using taskwick::testing::RecordingBoxPresenter;
using taskwick::testing::SelectiveFaultOps;
using taskwick::testing::writeBytes;

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

// A point that a thread of the program passes, which the test can hold it at.
class Gate {
public:
    void pass() {
        std::unique_lock lock(mutex_);
        ++arrivals_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
    }
    void hold() { setHold(true); }
    void release() { setHold(false); }
    int arrivals() {
        const std::lock_guard lock(mutex_);
        return arrivals_;
    }

private:
    void setHold(bool hold) {
        const std::lock_guard lock(mutex_);
        hold_ = hold;
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    bool hold_ = false;
    int arrivals_ = 0;
};

// The file layer of a disk whose flushes, or reads of the list, can be held until the test
// lets them go: a save or a read that is still under way when the user goes on typing.
class HeldOps : public SelectiveFaultOps {
public:
    int flush(int fd) override {
        flushes.pass();
        return SelectiveFaultOps::flush(fd);
    }
    int readAll(const QString& path, QByteArray* content) override {
        if (path.endsWith("/ToDoList.xml")) {
            listReading.pass();
        }
        return PosixFileOps::readAll(path, content);
    }
    Gate flushes, listReading;
};

struct Keeper : ListWindow {
    explicit Keeper(FileOps& ops, int delayMs = 30) : boxes(Language::English, presenter) {
        startKeeper(ops, delayMs, app.path(), state.path());
    }
    // A keeper of the list in `appFolder` whose state folder is in `stateHome`.
    void startKeeper(FileOps& ops, int delayMs, const QString& appFolder,
                     const QString& stateHome) {
        keeper.reset();
        const ListKeeperSettings settings{Language::English,
                                          appFolder + "/",
                                          &ops,
                                          delayMs,
                                          {stateHome + "/taskwick/", home.path() + "/"}};
        keeper = std::make_unique<ListKeeper>(settings, table, boxes, *this);
    }
    SaveSource placement() const override {
        ++savesStarted;  // asked as each save starts
        return place;
    }
    std::optional<CellPos> editedCell() const override { return edited; }
    QString list() const { return app.filePath("ToDoList.xml"); }
    QStringList rescued() const { return filesIn(state.path() + "/taskwick", "*.rescued-*"); }
    QString rescuedBytes() const {
        return QString::fromUtf8(bytesOf(state.path() + "/taskwick/" + rescued().value(0)));
    }
    QStringList temporaryFiles() const { return filesIn(app.path(), "ToDoList~tmp~*"); }
    bool saved(const QString& text) const { return bytesOf(list()).contains(text.toUtf8()); }
    // What the keeper keeps of the list in the state folder: the version it last shared with
    // the disk ("ToDoList.xml"), or the versions it kept for one reason ("*.displaced-*").
    QStringList stateFiles(const QString& pattern) const {
        QStringList found;
        QDirIterator it(state.path(), {pattern}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found << it.next();
        }
        return found;
    }

    QTemporaryDir app, state, home;
    RecordingBoxPresenter presenter;
    MessageBoxes boxes;
    TaskTable table;
    SaveSource place{100, 200, 370, 211, true, 370, NoSkinName, {}};
    std::optional<CellPos> edited;
    mutable int savesStarted = 0;
    std::unique_ptr<ListKeeper> keeper;
};

// A keeper whose list holds one task of the program's own, saved.
void startWithSavedTask(Keeper& k) {
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    k.table.setCell(1, 1, "ours");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>ours</Text>"); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !k.keeper->hasUnsavedChanges(); }, 5000));
}

}  // namespace

TEST(ListKeeper, aTypistWhoNeverPauses_isSavedWithinTheDelayOfTheFirstChange) {
    SelectiveFaultOps ops;
    Keeper k(ops, 200);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    // A key every 10 ms, far faster than the delay: a timer that started again at every key
    // would never save while the typing goes on.
    QString typed;
    for (int key = 0; key < 400 && !k.saved("first"); ++key) {
        typed += QLatin1Char('x');
        k.table.setCell(1, 1, "first" + typed);
        QTest::qWait(10);
    }
    EXPECT_TRUE(k.saved("first"));
    EXPECT_TRUE(k.presenter.boxes.empty());
}

TEST(ListKeeper, aChangeMadeWhileABackgroundSaveRuns_isSavedAfterIt_andTheCloseWaitsForIt) {
    HeldOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();

    ops.flushes.hold();
    k.table.setCell(1, 1, "before");
    // That save is on its thread now, held at the disk.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.flushes.arrivals() == 1; }, 5000));
    k.table.setCell(1, 2, "during");
    EXPECT_TRUE(k.keeper->hasUnsavedChanges());
    ops.flushes.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.saved("during"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !k.keeper->hasUnsavedChanges(); }, 5000));

    // A close that comes while a save is held waits for it and then writes its own.
    ops.flushes.hold();
    k.table.setCell(1, 3, "last");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.flushes.arrivals() == 3; }, 5000));
    k.place.left = 640;  // moved, which marks nothing
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ops.flushes.release();
    });
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::ByUser));
    releaser.join();
    EXPECT_TRUE(k.saved("last"));
    // The close writes what the window is now, though no change was marked for it.
    EXPECT_TRUE(k.saved("<Left>640</Left>"));
    EXPECT_TRUE(k.presenter.boxes.empty());
}

TEST(ListKeeper, aRenameThatKeepsFailing_leavesNoTemporaryFile_andOneRescueCopyUntilASaveWorks) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    ops.renameError = EPERM;  // an immutable list

    QString firstCopy;
    for (const QString task : {"alpha task", "beta task", "gamma task"}) {
        k.table.setCell(1, 1, task);
        // One copy at a time: the one before goes once the new one is on the disk.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return k.rescued().size() == 1 && k.rescuedBytes().contains(task); }, 5000));
        if (firstCopy.isEmpty()) {
            firstCopy = k.state.path() + "/taskwick/" + k.rescued()[0];
        }
    }
    EXPECT_TRUE(k.temporaryFiles().isEmpty());
    EXPECT_FALSE(QFile::exists(k.list()));
    // Told once, with the place that holds the tasks meanwhile.
    ASSERT_EQ(k.presenter.boxes.size(), 1u);
    EXPECT_EQ(k.presenter.boxes[0].text,
              "Cannot save this file correctly: \r\n" + k.list() +
                  "\r\nIt is not possible to save! Error: EPERM\r\nUntil the list can be saved, "
                  "your tasks are kept in:\r\n" +
                  firstCopy);

    // The list takes it again: the rescue copy has done its work and goes.
    ops.renameError = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.saved("gamma task"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.rescued().isEmpty(); }, 5000));
    EXPECT_EQ(k.presenter.boxes.size(), 1u);
}

TEST(ListKeeper, aFullDiskAtTheClose_rescuesTheTasks_orKeepsTheWindowUntilTheyCanGoSomewhere) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    k.table.setCell(1, 1, "pay the rent");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("pay the rent"); }, 5000));

    // The list's disk is full; the user's state folder is elsewhere and has room.
    ops.failCreateContaining = "ToDoList~tmp~";
    ops.createError = ENOSPC;
    k.table.setCell(1, 2, "book the flight");
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::ByUser));
    ASSERT_EQ(k.rescued().size(), 1);
    EXPECT_TRUE(k.rescuedBytes().contains("book the flight"));
    EXPECT_TRUE(k.temporaryFiles().isEmpty());
    ASSERT_FALSE(k.presenter.boxes.empty());
    EXPECT_EQ(k.presenter.boxes.back().title, "Save Error");
    EXPECT_EQ(k.presenter.boxes.back().text,
              "Cannot save correctly to this path: \r\n" + k.app.path() +
                  "/\r\nIt is not possible to save! Please verify that the drive is "
                  "existing!\r\nError: ENOSPC\r\nThe disk is full: there is no room left on it "
                  "for the list.\r\nYour tasks were saved instead as:\r\n" +
                  k.state.path() + "/taskwick/" + k.rescued()[0]);
}

TEST(ListKeeper, whenNoFileTakesTheTasks_aUserCloseIsRefused_andTheListIsSavedOnceThereIsRoom) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    ops.createError = ENOSPC;  // every disk is full
    k.table.setCell(1, 1, "renew the lease");

    EXPECT_FALSE(k.keeper->saveOnClose(CloseKind::ByUser));
    ASSERT_FALSE(k.presenter.boxes.empty());
    EXPECT_TRUE(k.presenter.boxes.back().text.endsWith(
        "for the list.\r\nYour tasks could not be saved anywhere else either, so Taskwick stays "
        "open. Make room on the disk or mend the folder, then close Taskwick again."));
    EXPECT_TRUE(k.keeper->hasUnsavedChanges());

    // Room again: the list is saved on its own, without the user doing anything more.
    ops.createError = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.saved("renew the lease"); }, 5000));

    // Nobody can answer at a signal's close: it ends all the same.
    ops.createError = ENOSPC;
    k.table.setCell(1, 2, "lost at a signal");
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::Unattended));
    EXPECT_TRUE(k.presenter.boxes.back().text.endsWith(
        "\r\nYour tasks could not be saved anywhere else either."));
}

TEST(ListKeeper, whenOnlyTheListsFolderHasRoom_theTasksAreKeptBesideTheList) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    ops.failCreateContaining = "rescued";  // the state and home folders refuse
    ops.createError = EACCES;
    ops.renameError = EPERM;
    k.table.setCell(1, 1, "water the plants");
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::ByUser));
    const QStringList unsaved = filesIn(k.app.path(), "ToDoList.xml.unsaved-*");
    ASSERT_EQ(unsaved.size(), 1);
    EXPECT_TRUE(bytesOf(k.app.filePath(unsaved[0])).contains("water the plants"));
    EXPECT_TRUE(k.presenter.boxes.back().text.endsWith(k.app.filePath(unsaved[0])));
    EXPECT_TRUE(k.temporaryFiles().isEmpty());
}

TEST(ListKeeper, anotherVersionWhileNothingIsUnsaved_isTakenIn_andTheNextChangeSavesBoth) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    QSignalSpy takenIn(k.keeper.get(), &ListKeeper::otherVersionTakenIn);

    QByteArray theirs = bytesOf(k.list());
    theirs.replace("<Text>ours</Text>", "<Text>from the laptop</Text>");
    theirs.replace("<Left>100</Left>", "<Left>5</Left>");
    writeBytes(k.list(), theirs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "from the laptop"; }, 5000));
    EXPECT_EQ(takenIn.count(), 1);
    // Taking it in is no change of the program's own: nothing to save, nothing written back.
    EXPECT_FALSE(k.keeper->hasUnsavedChanges());
    EXPECT_EQ(bytesOf(k.list()), theirs);
    // It is the version shared with the disk now, that a later merge starts from.
    ASSERT_EQ(k.stateFiles("ToDoList.xml").size(), 1);
    EXPECT_EQ(bytesOf(k.stateFiles("ToDoList.xml")[0]), theirs);

    k.table.setCell(1, 2, "mine");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>mine</Text>"); }, 5000));
    EXPECT_TRUE(k.saved("<Text>from the laptop</Text>"));
    EXPECT_TRUE(k.saved("<Left>100</Left>"));  // the window stays where the user has it
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.changed-*").isEmpty());
    // The version taken in is the known one now: that save found nobody else's to keep.
    EXPECT_TRUE(k.stateFiles("*.displaced-*").isEmpty());
    EXPECT_TRUE(k.presenter.boxes.empty());
}

// Another version whose task is "ours and theirs" lands, and the keeper's read of it is held at
// the disk: what the user does meanwhile happens while it is read and merged.
void holdReadOfAnotherVersion(Keeper& k, HeldOps& ops) {
    ops.listReading.hold();
    const int readsBefore = ops.listReading.arrivals();
    QByteArray other = bytesOf(k.list());
    other.replace("<Text>ours</Text>", "<Text>ours and theirs</Text>");
    writeBytes(k.list(), other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.listReading.arrivals() > readsBefore; }, 5000));
}

TEST(ListKeeper, wordsTypedWhileAnotherVersionIsReadAndMerged_areMergedWithItToo) {
    HeldOps ops;
    Keeper k(ops, 0);  // a change is saved as soon as the event loop turns
    startWithSavedTask(k);
    holdReadOfAnotherVersion(k, ops);
    k.table.setCell(1, 2, "typed meanwhile");
    // The save of that waits for the read: the two never touch the list at once.
    const int savesBefore = k.savesStarted;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(k.savesStarted, savesBefore);
    ops.listReading.release();

    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "ours and theirs"; }, 5000));
    EXPECT_EQ(k.table.cell(1, 2), "typed meanwhile");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return k.saved("ours and theirs") && k.saved("typed meanwhile"); }, 5000));
}

TEST(ListKeeper, aWindowMovedWhileAnotherVersionIsRead_isSavedOnceItIsTakenIn) {
    HeldOps ops;
    Keeper k(ops, 0);
    startWithSavedTask(k);
    holdReadOfAnotherVersion(k, ops);
    k.place.left = 7;
    k.keeper->markChanged();
    QCoreApplication::processEvents();  // the save's timer runs out while the read is held
    ops.listReading.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "ours and theirs"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return k.saved("<Left>7</Left>") && k.saved("ours and theirs"); }, 5000));
}

TEST(ListKeeper, anotherVersionComesInAroundTheOpenEditor_whoseCellJoinsOnceItCloses) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    k.edited = CellPos{1, 1};
    k.table.setCell(1, 1, "ours, typing");
    QByteArray theirs = bytesOf(k.list());
    theirs.replace("<Text>ours</Text>", "<Text>newer</Text>");
    // Row 2's first cell: the second empty text after row 1's "ours".
    const qsizetype row1End = theirs.indexOf("<Text/>", theirs.indexOf("<Text>newer</Text>"));
    theirs.replace(theirs.indexOf("<Text/>", row1End + 1), 7, "<Text>from the laptop</Text>");
    writeBytes(k.list(), theirs);
    // The other version shows at once, around the cell being typed into.
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(0, 2) == "from the laptop"; }, 2000));
    EXPECT_EQ(k.table.cell(1, 1), "ours, typing");

    k.edited.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) != "ours, typing"; }, 2000));
    EXPECT_EQ(k.table.cell(1, 1), "ours, typing" + ConflictSeparator + "newer");
    ASSERT_EQ(k.presenter.boxes.size(), 1u);
    EXPECT_TRUE(k.presenter.boxes[0].notice);
    EXPECT_TRUE(k.presenter.boxes[0].text.contains("row 1, column 2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("ours, typing | newer"); }, 5000));
    EXPECT_TRUE(k.saved("from the laptop"));
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.changed-*").isEmpty());
}

TEST(ListKeeper, anotherVersionThatCannotBeRead_isKeptOnceItSettles_andNotTakenIn) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    const QByteArray broken = "<?xml version=\"1.0\"?><ToDoList><ColumnInfo><RowCount>";
    writeBytes(k.list(), broken);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !filesIn(k.app.path(), "ToDoList.xml.unreadable-*").isEmpty(); }, 5000));
    const QString copy = k.app.filePath(filesIn(k.app.path(), "ToDoList.xml.unreadable-*")[0]);
    EXPECT_EQ(bytesOf(copy), broken);
    EXPECT_EQ(k.table.cell(1, 1), "ours");
    ASSERT_EQ(k.presenter.boxes.size(), 1u);
    EXPECT_EQ(k.presenter.boxes[0].text,
              "Another program wrote a version of the task list that could not be read:\r\n" +
                  k.list() + "\r\nIt was kept as:\r\n" + copy +
                  "\r\nTaskwick goes on with its own list and will save it in its place.");

    // Kept, so the close puts the program's list back in its place.
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::ByUser));
    EXPECT_TRUE(k.saved("<Text>ours</Text>"));
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.changed-*").isEmpty());
}

TEST(ListKeeper, aRescueCopyOfAFormerRun_isMergedIntoTheListAtTheNextStart_andTold) {
    SelectiveFaultOps ops;
    Keeper first(ops);
    startWithSavedTask(first);
    // Meanwhile someone else adds a task to the list, and this run's close finds no room.
    first.table.setCell(1, 2, "typed before the disk filled");
    ops.renameError = ENOSPC;
    ::testing::internal::CaptureStderr();
    first.boxes.dismissBoxes();
    EXPECT_TRUE(first.keeper->saveOnClose(CloseKind::Unattended));
    ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(first.rescued().size(), 1u);
    QByteArray onDisk = bytesOf(first.list());
    onDisk.replace("<Text>ours</Text>", "<Text>ours, edited elsewhere</Text>");
    writeBytes(first.list(), onDisk);

    // The next start shows the list on the disk with the rescued words in it, and says when
    // they were written.
    ops.renameError = 0;
    Keeper next(ops);
    next.startKeeper(ops, 30, first.app.path(), first.state.path());
    struct Target : LoadTarget {
        explicit Target(TaskTable& t) : t_(t) {}
        TaskTable& table() override { return t_; }
        QString currentSkinName() const override { return {}; }
        QString currentSkinPath() const override { return {}; }
        void setCurrentSkinName(const QString&) override {}
        void setCurrentSkinPath(const QString&) override {}
        void loadSkin() override {}
        void reportFailure(const QString&) override {}
        TaskTable& t_;
    } target(next.table);
    next.keeper->load(target);
    next.keeper->startAutomaticSaves();
    EXPECT_EQ(next.table.cell(1, 1), "ours, edited elsewhere");
    EXPECT_EQ(next.table.cell(1, 2), "typed before the disk filled");
    ASSERT_EQ(next.presenter.boxes.size(), 1u);
    EXPECT_TRUE(next.presenter.boxes[0].text.startsWith("Tasks written on "));
    EXPECT_TRUE(first.rescued().isEmpty());  // moved out of the rescue folder: merged once
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return bytesOf(first.list()).contains("disk filled"); }, 5000));
    EXPECT_TRUE(bytesOf(first.list()).contains("ours, edited elsewhere"));
}

TEST(ListKeeper, aSyncToolsConflictCopy_isMergedAndMovedOutOfTheListsFolder) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    // The other machine changed the same cell as we did since: its version lost the race and
    // became a copy.
    QByteArray other = bytesOf(k.list());
    other.replace("<Text>ours</Text>", "<Text>theirs</Text>");
    k.table.setCell(1, 1, "ours, later");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>ours, later</Text>"); }, 5000));
    // The program's own save is not read back: the look that the copy sets off reads only it.
    ops.listReads = 0;
    int listReadsBeforeMerge = -1;
    QObject::connect(k.keeper.get(), &ListKeeper::otherVersionTakenIn,
                     [&] { listReadsBeforeMerge = ops.listReads; });
    const QString copy = k.app.filePath("ToDoList.sync-conflict-20261210-101010-ABCDEFG.xml");
    writeBytes(copy, other);
    writeBytes(k.app.filePath("ToDoList (conflicted copy 2026-12-10 101010).xml"), "not a list <");

    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(copy); }, 3000));
    EXPECT_EQ(k.table.cell(1, 1), "ours, later" + ConflictSeparator + "theirs");
    EXPECT_EQ(listReadsBeforeMerge, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.saved("ours, later | theirs"); }, 5000));
    ASSERT_EQ(k.presenter.boxes.size(), 2u);  // the conflict, and the copy that was moved
    EXPECT_TRUE(k.presenter.boxes[1].text.startsWith("A copy of the task list that a sync tool"));
    const QString moved = k.presenter.boxes[1].text.section("\r\n", -1);
    EXPECT_TRUE(moved.startsWith(k.state.path() + "/taskwick/lists/")) << moved.toStdString();
    EXPECT_EQ(bytesOf(moved), other);
    // What cannot be read stays where it is, untouched.
    EXPECT_EQ(bytesOf(k.app.filePath("ToDoList (conflicted copy 2026-12-10 101010).xml")),
              "not a list <");
}

TEST(ListKeeper, aDeletedListIsWrittenBack_aClickOnABlankIsNoChange_andAClosedFolderGoesToTheLog) {
    SelectiveFaultOps ops;
    Keeper k(ops, 100);
    startWithSavedTask(k);
    const int savesBefore = ops.replaces;

    // A loaded blank cleared as its cell becomes current: no save follows.
    k.table.setCell(0, 3, " ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.replaces == savesBefore + 1; }, 5000));
    k.table.setCell(0, 3, "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !k.keeper->hasUnsavedChanges(); }, 5000));
    EXPECT_EQ(ops.replaces, savesBefore + 1);

    QFile::remove(k.list());
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>ours</Text>"); }, 2000));

    // Nothing takes the tasks at a signal's close: they go to the log, word for word.
    k.table.setCell(1, 2, "the last words");
    ops.renameError = ENOSPC;
    ops.createError = ENOSPC;
    k.boxes.dismissBoxes();
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::Unattended));
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("taskwick: row 2, column 2: the last words"), std::string::npos) << log;
}

TEST(ListKeeper, anotherVersionShowsWithinASecond_aroundUnsavedTyping_andASlowWriterIsWaitedFor) {
    SelectiveFaultOps ops;
    Keeper k(ops, 200);
    startWithSavedTask(k);
    const QByteArray saved = bytesOf(k.list());
    // Started again with a long delay: the typing below stays unsaved.
    k.startKeeper(ops, 60000, k.app.path(), k.state.path());
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();
    k.table.setCell(1, 2, "typed, not saved yet");
    ASSERT_TRUE(k.keeper->hasUnsavedChanges());

    QByteArray theirs = saved;
    theirs.replace("<Text>ours</Text>", "<Text>from the laptop</Text>");
    writeBytes(k.list(), theirs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "from the laptop"; }, 1000));
    EXPECT_EQ(k.table.cell(1, 2), "typed, not saved yet");
    EXPECT_TRUE(k.keeper->hasUnsavedChanges());

    // A writer that stops half way for most of a second: no notice, no copy, its whole
    // version comes in once it is written.
    QByteArray slow = theirs;
    slow.replace("from the laptop", "written slowly");
    writeBytes(k.list(), slow.left(slow.size() / 2));
    QTest::qWait(700);  // the writer's pause, not a wait for the program
    writeBytes(k.list(), slow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "written slowly"; }, 2000));
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.unreadable-*").isEmpty());
    EXPECT_TRUE(k.presenter.boxes.empty());
}

TEST(ListKeeper, aVersionThatJoinedOurWordsWithAnothers_isToldInThisWindowToo) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    // The other instance had typed into the same cell and merged both texts.
    QByteArray theirs = bytesOf(k.list());
    theirs.replace("<Text>ours</Text>", "<Text>theirs | ours</Text>");
    writeBytes(k.list(), theirs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "theirs | ours"; }, 2000));
    ASSERT_EQ(k.presenter.boxes.size(), 1u);
    EXPECT_TRUE(k.presenter.boxes[0].notice);
    EXPECT_TRUE(k.presenter.boxes[0].text.startsWith("Someone else changed cells"));
    EXPECT_TRUE(k.presenter.boxes[0].text.endsWith("row 1, column 2"));
    // Taken as it is: nothing of ours is missing, so nothing is written back.
    EXPECT_FALSE(k.keeper->hasUnsavedChanges());
}

TEST(ListKeeper, aConflictCopysWordsComeBackWhenTheVersionThatWonOverItLandsAfterIt) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    const QByteArray before = bytesOf(k.list());
    k.table.setCell(1, 2, "mine");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>mine</Text>"); }, 5000));

    // A sync tool keeps our version as a conflict copy first and puts the other computer's
    // version, which grew from the list before "mine", in the list's place a moment later.
    const QString copy = k.app.filePath("ToDoList.sync-conflict-20261210-101010-ABCDEFG.xml");
    writeBytes(copy, bytesOf(k.list()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFile::exists(copy); }, 3000));
    QByteArray won = before;
    won.replace("<Text>ours</Text>", "<Text>ours, from the laptop</Text>");
    writeBytes(k.list(), won);

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return k.table.cell(1, 1) == "ours, from the laptop"; }, 2000));
    EXPECT_EQ(k.table.cell(1, 2), "mine");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return k.saved("<Text>mine</Text>") && k.saved("ours, from the laptop"); }, 5000));

    // Once the list holds them, what others do with the copy's words is theirs to do.
    QByteArray cleared = bytesOf(k.list());
    cleared.replace("<Text>mine</Text>", "<Text> </Text>");
    cleared.replace("ours, from the laptop", "mine is done");
    writeBytes(k.list(), cleared);
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.table.cell(1, 1) == "mine is done"; }, 2000));
    EXPECT_TRUE(isBlank(k.table.cell(1, 2))) << k.table.cell(1, 2).toStdString();
}
