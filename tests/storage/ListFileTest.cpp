#include "storage/ListFile.h"
#include "storage/Rescue.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <utime.h>

#include <cerrno>

using namespace taskwick;
using taskwick::testing::SelectiveFaultOps;
using taskwick::testing::writeBytes;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList keptCopies(const QTemporaryDir& dir, const QString& reason) {
    return QDir(dir.path()).entryList({"ToDoList.xml." + reason + "-*"}, QDir::Files, QDir::Name);
}

const QDateTime When(QDate(2026, 12, 9), QTime(13, 45, 1));

}  // namespace

TEST(ListFile, ownSavesNeverCountAsForeign_aHandEditIsKeptBeforeTheNextSave) {
    QTemporaryDir dir;
    PosixFileOps ops;
    const QString list = dir.filePath("ToDoList.xml");
    writeBytes(list, "as read at start");

    ListFile file(ops, dir.path() + "/");
    QByteArray read;
    ASSERT_EQ(file.read(&read), 0);
    EXPECT_EQ(read, "as read at start");
    EXPECT_TRUE(file.isKnownVersion("as read at start"));

    for (const QByteArray& ours : {QByteArray("first save"), QByteArray("second save")}) {
        const ListFile::SaveOutcome out = file.save(ours, When, OtherVersions::KeepBeside);
        ASSERT_TRUE(out.result.ok());
        EXPECT_TRUE(out.keptChangedCopy.isEmpty());
        EXPECT_EQ(fileBytes(list), ours);
    }
    EXPECT_TRUE(keptCopies(dir, "changed").isEmpty());

    // Touched, not changed: the same bytes with a new time are still ours.
    utimbuf times{1000000, 1000000};
    ASSERT_EQ(::utime(QFile::encodeName(list).constData(), &times), 0);
    ASSERT_TRUE(file.save("third save", When, OtherVersions::KeepBeside).result.ok());
    EXPECT_TRUE(keptCopies(dir, "changed").isEmpty());

    // Edited by someone else in the same second, to the same size, with the time put back
    // (file systems with whole seconds, sync tools that keep times): only the bytes tell.
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(list).constData(), &before), 0);
    writeBytes(list, "third SAVE");
    const timespec kept[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(list).constData(), kept, 0), 0);
    const ListFile::SaveOutcome out = file.save("fourth save", When, OtherVersions::KeepBeside);
    ASSERT_TRUE(out.result.ok());
    EXPECT_EQ(out.keptChangedCopy, list + ".changed-20261209-134501");
    EXPECT_EQ(fileBytes(out.keptChangedCopy), "third SAVE");
    EXPECT_EQ(fileBytes(list), "fourth save");

    ASSERT_TRUE(file.save("fifth save", When, OtherVersions::KeepBeside).result.ok());
    EXPECT_EQ(keptCopies(dir, "changed").size(), 1);
}

// A disk where another program replaces the list by a rename right after a read of it, once
// it is told which file to put there.
struct ReplacedWhileReadOps : SelectiveFaultOps {
    QString replacement;
    int readAll(const QString& path, QByteArray* content) override {
        const int error = SelectiveFaultOps::readAll(path, content);
        if (path.endsWith("/ToDoList.xml") && !replacement.isEmpty()) {
            writeBytes(replacement, "the newer version");
            ::rename(QFile::encodeName(replacement).constData(),
                     QFile::encodeName(path).constData());
        }
        return error;
    }
};

TEST(ListFile, aLookFindsItsOwnSaveWithoutReadingIt_butEveryOtherWriteOfTheList) {
    QTemporaryDir dir;
    ReplacedWhileReadOps ops;
    const QString list = dir.filePath("ToDoList.xml");
    writeBytes(list, "as read at start");
    ListFile file(ops, dir.path() + "/");
    QByteArray read;
    ASSERT_EQ(file.read(&read), 0);
    PathStatus status;
    ASSERT_EQ(ops.status(list, &status), 0);
    if (status.modifiedNs % 1'000'000'000 == 0) {
        GTEST_SKIP() << "the file system keeps whole seconds: every look reads";
    }
    EXPECT_TRUE(file.unchangedSinceKnown());

    ASSERT_TRUE(file.save("our save", When, OtherVersions::KeepBeside).result.ok());
    const int readsAfterSave = ops.listReads;
    EXPECT_TRUE(file.unchangedSinceKnown());
    EXPECT_EQ(ops.listReads, readsAfterSave);

    // Written where it stands, to the same size: a new time.
    writeBytes(list, "our SAVE");
    EXPECT_FALSE(file.unchangedSinceKnown());
    const std::optional<QByteArray> other = file.otherVersion();
    ASSERT_TRUE(other.has_value());
    // Taken in: the file it was read from is the known one now.
    file.remember(*other);
    EXPECT_TRUE(file.unchangedSinceKnown());

    // The same bytes in a new file: not the known file, though the same version.
    const QString beside = dir.filePath("new");
    writeBytes(beside, "our SAVE");
    ASSERT_EQ(::rename(QFile::encodeName(beside).constData(), QFile::encodeName(list).constData()),
              0);
    EXPECT_FALSE(file.unchangedSinceKnown());
    EXPECT_FALSE(file.otherVersion().has_value());

    // A time in whole seconds cannot tell two writes apart: never taken as unchanged.
    const timespec whole[2] = {{1000000, 0}, {1000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(list).constData(), whole, 0), 0);
    EXPECT_FALSE(file.otherVersion().has_value());
    file.remember("our SAVE");
    EXPECT_FALSE(file.unchangedSinceKnown());

    // Bytes the program never read from this file do not make it the known one.
    writeBytes(list, "read, then something else remembered");
    ASSERT_TRUE(file.otherVersion().has_value());
    file.remember("something else");
    EXPECT_FALSE(file.unchangedSinceKnown());

    // Replaced by another program while it is read: the new file is not the one read.
    ops.replacement = dir.filePath("incoming");
    const std::optional<QByteArray> readWhileReplaced = file.otherVersion();
    ASSERT_TRUE(readWhileReplaced.has_value());
    file.remember(*readWhileReplaced);
    EXPECT_FALSE(file.unchangedSinceKnown());
    ops.replacement.clear();
    EXPECT_EQ(file.otherVersion(), QByteArray("the newer version"));
}

TEST(ListFile, aListThatAppearsAfterAFirstRun_isKept_andCopiesNeverReplaceEachOther) {
    QTemporaryDir dir;
    PosixFileOps ops;
    const QString list = dir.filePath("ToDoList.xml");
    ListFile file(ops, dir.path() + "/");
    file.rememberAbsent();

    writeBytes(list, "arrived through a sync tool");
    writeBytes(list + ".changed-20261209-134501", "an earlier copy");
    const ListFile::SaveOutcome out = file.save("ours", When, OtherVersions::KeepBeside);
    ASSERT_TRUE(out.result.ok());
    EXPECT_EQ(out.keptChangedCopy, list + ".changed-20261209-134501-2");
    EXPECT_EQ(fileBytes(out.keptChangedCopy), "arrived through a sync tool");
    EXPECT_EQ(fileBytes(list + ".changed-20261209-134501"), "an earlier copy");
    EXPECT_EQ(fileBytes(list), "ours");

    // Gone meanwhile: nothing to keep, the save recreates it.
    QFile::remove(list);
    const ListFile::SaveOutcome again = file.save("ours again", When, OtherVersions::KeepBeside);
    ASSERT_TRUE(again.result.ok());
    EXPECT_TRUE(again.keptChangedCopy.isEmpty());
    EXPECT_EQ(fileBytes(list), "ours again");
}

TEST(ListFile, aForeignVersionThatCannotBeReadOrKept_isNeverReplaced) {
    QTemporaryDir dir;
    SelectiveFaultOps ops;
    const QString list = dir.filePath("ToDoList.xml");
    writeBytes(list, "someone else's");
    ListFile file(ops, dir.path() + "/");
    file.forget();

    ops.failCreateContaining = ".changed-";
    ops.createError = ENOSPC;
    const ListFile::SaveOutcome full = file.save("ours", When, OtherVersions::KeepBeside);
    EXPECT_EQ(full.result.step, SaveResult::TempFile);
    EXPECT_EQ(full.result.errorKind, "ENOSPC");
    EXPECT_EQ(fileBytes(list), "someone else's");

    ops.createError = 0;
    ops.readError = EACCES;
    const ListFile::SaveOutcome unreadable = file.save("ours", When, OtherVersions::KeepBeside);
    EXPECT_EQ(unreadable.result.step, SaveResult::Replace);
    EXPECT_EQ(unreadable.result.errorKind, "EACCES");
    EXPECT_EQ(fileBytes(list), "someone else's");
    EXPECT_TRUE(keptCopies(dir, "changed").isEmpty());

    ops.readError = 0;
    const ListFile::SaveOutcome works = file.save("ours", When, OtherVersions::KeepBeside);
    ASSERT_TRUE(works.result.ok());
    EXPECT_EQ(fileBytes(works.keptChangedCopy), "someone else's");
    EXPECT_EQ(fileBytes(list), "ours");
}

namespace {

// A disk on which another writer's version lands while a save is flushing its temporary file,
// after the save looked at the list and before its temporary file takes the list's place.
struct LandingWriteOps : SelectiveFaultOps {
    QString list;
    QByteArray landing;
    int flush(int fd) override {
        if (!landing.isEmpty()) {
            writeBytes(list, std::exchange(landing, QByteArray()));
        }
        return SelectiveFaultOps::flush(fd);
    }
};

}  // namespace

TEST(ListFile, aVersionThatLandsDuringTheSave_isKeptBeside_orStaysWhenTheProgramHasNothingNew) {
    QTemporaryDir dir;
    LandingWriteOps ops;
    ops.list = dir.filePath("ToDoList.xml");
    writeBytes(ops.list, "as read at start");
    ListFile file(ops, dir.path() + "/");
    QByteArray read;
    ASSERT_EQ(file.read(&read), 0);

    ops.landing = "from the other machine";
    const ListFile::SaveOutcome kept = file.save("ours", When, OtherVersions::KeepBeside);
    ASSERT_TRUE(kept.result.ok());
    EXPECT_EQ(fileBytes(kept.keptChangedCopy), "from the other machine");
    EXPECT_EQ(fileBytes(ops.list), "ours");

    // With nothing new of its own, the program leaves the newer version where it is.
    ops.landing = "newer still";
    const ListFile::SaveOutcome yielded = file.save("ours, unchanged", When, OtherVersions::Yield);
    EXPECT_TRUE(yielded.yielded);
    EXPECT_TRUE(yielded.keptChangedCopy.isEmpty());
    EXPECT_EQ(fileBytes(ops.list), "newer still");
    EXPECT_EQ(keptCopies(dir, "changed").size(), 1);
    EXPECT_TRUE(QDir(dir.path()).entryList({"ToDoList~tmp~*"}, QDir::Files).isEmpty());

    // A program that merges: a version that reads as a list stays in place and comes back to
    // be merged; one that does not is kept beside as before.
    const auto readsAsList = [](const QByteArray& v) { return v.startsWith("list:"); };
    ops.landing = "list: from the phone";
    const ListFile::SaveOutcome handed =
        file.save("ours, merging", When, OtherVersions::HandBack, readsAsList);
    EXPECT_TRUE(handed.yielded);
    EXPECT_EQ(handed.handedBack, "list: from the phone");
    EXPECT_EQ(fileBytes(ops.list), "list: from the phone");
    file.remember(handed.handedBack);  // merged by the caller
    ops.landing = "half written <";
    const ListFile::SaveOutcome keptAgain =
        file.save("ours, merging", When, OtherVersions::HandBack, readsAsList);
    EXPECT_TRUE(keptAgain.handedBack.isEmpty());
    EXPECT_EQ(fileBytes(keptAgain.keptChangedCopy), "half written <");
    EXPECT_EQ(fileBytes(ops.list), "ours, merging");
}

TEST(ListFile, aKeptVersionIsKeptOnce_thoughTheSaveAfterKeepingItFails) {
    QTemporaryDir dir;
    SelectiveFaultOps ops;
    const QString list = dir.filePath("ToDoList.xml");
    writeBytes(list, "as read at start");
    ListFile file(ops, dir.path() + "/");
    QByteArray read;
    ASSERT_EQ(file.read(&read), 0);

    writeBytes(list, "edited by hand");
    ops.renameError = EBUSY;
    EXPECT_EQ(file.save("ours", When, OtherVersions::KeepBeside).result.step, SaveResult::Replace);
    ops.renameError = 0;
    for (const char* ours : {"ours", "ours again"}) {
        const ListFile::SaveOutcome out = file.save(ours, When, OtherVersions::KeepBeside);
        ASSERT_TRUE(out.result.ok());
        EXPECT_TRUE(out.keptChangedCopy.isEmpty());
    }
    ASSERT_EQ(keptCopies(dir, "changed").size(), 1);
    EXPECT_EQ(fileBytes(dir.filePath(keptCopies(dir, "changed")[0])), "edited by hand");
    EXPECT_EQ(fileBytes(list), "ours again");
}

TEST(ListFile, whereTheFileSystemCannotSwap_thePlainRenameSaves) {
    QTemporaryDir dir;
    struct NoSwap : PosixFileOps {
        int exchange(const QString&, const QString&) override { return EINVAL; }
        int renameNoReplace(const QString&, const QString&) override { return EINVAL; }
    } ops;
    const QString list = dir.filePath("ToDoList.xml");
    ListFile file(ops, dir.path() + "/");
    file.rememberAbsent();
    ASSERT_TRUE(file.save("first", When, OtherVersions::KeepBeside).result.ok());
    ASSERT_TRUE(file.save("second", When, OtherVersions::KeepBeside).result.ok());
    EXPECT_EQ(fileBytes(list), "second");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"ToDoList.xml"});
}

TEST(KeptCopy, aCopyThatFailsHalfWay_leavesNothingBehind) {
    QTemporaryDir dir;
    struct FailingFlush : PosixFileOps {
        int flush(int) override { return EIO; }
    } ops;
    const KeptCopy copy =
        keepCopyBeside(ops, dir.filePath("ToDoList.xml"), "bytes", UnreadableReason, When);
    EXPECT_EQ(copy.error, EIO);
    EXPECT_TRUE(copy.path.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(Rescue, foldersInTheOrderTheyAreTried_theStateFolderFirst_relativeVariablesNotCounting) {
    const struct {
        QString stateHome, home;
        QStringList folders;
    } cases[] = {
        {"/xdg/state", "/home/u", {"/xdg/state/taskwick/", "/home/u/"}},
        {"", "/home/u/", {"/home/u/.local/state/taskwick/", "/home/u/"}},
        {"relative/state", "/home/u", {"/home/u/.local/state/taskwick/", "/home/u/"}},
        {"/xdg/state/", "", {"/xdg/state/taskwick/"}},
        {"", "relative", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rescueFolders(c.stateHome, c.home), c.folders) << c.stateHome.toStdString();
    }
}
