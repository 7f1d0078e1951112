// The list's life without a window: the rules of the automatic save, and what happens to the
// tasks when the disk refuses them.
#include "app/list/ListKeeper.h"
#include "tests/support/FileBytes.h"
#include "tests/support/RecordingBoxPresenter.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QDir>
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

// The file layer of a disk whose flush can be held until the test lets it go: a save that
// is still under way when the user goes on typing.
class HeldFlushOps : public SelectiveFaultOps {
public:
    int flush(int fd) override {
        std::unique_lock lock(mutex_);
        ++flushes_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !hold_; });
        return SelectiveFaultOps::flush(fd);
    }
    void hold() { setHold(true); }
    void release() { setHold(false); }
    int flushes() {
        const std::lock_guard lock(mutex_);
        return flushes_;
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
    int flushes_ = 0;
};

struct Keeper : ListWindow {
    explicit Keeper(FileOps& ops, int delayMs = 30) : boxes(Language::English, presenter) {
        const ListKeeperSettings settings{Language::English,
                                          app.path() + "/",
                                          &ops,
                                          delayMs,
                                          {state.path() + "/taskwick/", home.path() + "/"}};
        keeper = std::make_unique<ListKeeper>(settings, table, boxes, *this);
    }
    SaveSource placement() const override { return place; }
    bool isEditingCell() const override {
        askedWhileEditing += editing ? 1 : 0;
        return editing;
    }
    QString list() const { return app.filePath("ToDoList.xml"); }
    QStringList rescued() const { return filesIn(state.path() + "/taskwick", "*.rescued-*"); }
    QString rescuedBytes() const {
        return QString::fromUtf8(bytesOf(state.path() + "/taskwick/" + rescued().value(0)));
    }
    QStringList temporaryFiles() const { return filesIn(app.path(), "ToDoList~tmp~*"); }
    bool saved(const QString& text) const { return bytesOf(list()).contains(text.toUtf8()); }

    QTemporaryDir app, state, home;
    RecordingBoxPresenter presenter;
    MessageBoxes boxes;
    TaskTable table;
    SaveSource place{100, 200, 370, 211, true, 370, NoSkinName, {}};
    bool editing = false;
    mutable int askedWhileEditing = 0;
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
    HeldFlushOps ops;
    Keeper k(ops);
    k.keeper->startWithoutList();
    k.keeper->startAutomaticSaves();

    ops.hold();
    k.table.setCell(1, 1, "before");
    // That save is on its thread now, held at the disk.
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.flushes() == 1; }, 5000));
    k.table.setCell(1, 2, "during");
    EXPECT_TRUE(k.keeper->hasUnsavedChanges());
    ops.release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return k.saved("during"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !k.keeper->hasUnsavedChanges(); }, 5000));

    // A close that comes while a save is held waits for it and then writes its own.
    ops.hold();
    k.table.setCell(1, 3, "last");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ops.flushes() == 3; }, 5000));
    k.place.left = 640;  // moved, which marks nothing
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ops.release();
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

    k.table.setCell(1, 2, "mine");
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.saved("<Text>mine</Text>"); }, 5000));
    EXPECT_TRUE(k.saved("<Text>from the laptop</Text>"));
    EXPECT_TRUE(k.saved("<Left>100</Left>"));  // the window stays where the user has it
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.changed-*").isEmpty());
    EXPECT_TRUE(k.presenter.boxes.empty());
}

TEST(ListKeeper, anotherVersionWaitsForTheCellEditor_andACloseWithNothingUnsavedLeavesIt) {
    SelectiveFaultOps ops;
    Keeper k(ops);
    startWithSavedTask(k);
    k.editing = true;
    QByteArray theirs = bytesOf(k.list());
    theirs.replace("<Text>ours</Text>", "<Text>newer</Text>");
    writeBytes(k.list(), theirs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return k.askedWhileEditing >= 2; }, 5000));
    EXPECT_EQ(k.table.cell(1, 1), "ours");

    // Closed before it came in: the older list of the program is not written over it.
    EXPECT_TRUE(k.keeper->saveOnClose(CloseKind::ByUser));
    EXPECT_EQ(bytesOf(k.list()), theirs);
    EXPECT_TRUE(filesIn(k.app.path(), "ToDoList.xml.changed-*").isEmpty());
    EXPECT_TRUE(k.presenter.boxes.empty());
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
