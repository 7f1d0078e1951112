#include "storage/ToDoListSaver.h"

#include "storage/XmlWriter.h"
#include "tests/support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <limits>
#include <map>
#include <optional>

using namespace taskwick;
using taskwick::testing::writeBytes;

namespace {

enum class Op { Status, ReadLink, ChangeMode, Create, Write, Flush, Close, Rename, FlushFolder };

// The real file operations, any of which can be made to fail with a chosen error.
class FaultyOps : public PosixFileOps {
public:
    std::map<Op, int> failWith;
    std::size_t maxChunk = std::numeric_limits<std::size_t>::max();  // short writes
    std::size_t writeFailsAfter = std::numeric_limits<std::size_t>::max();
    bool interruptEveryOtherWrite = false;
    int createCollisions = 0;  // names reported as taken before one is free
    int creates = 0;
    QString lastCreated;
    int folderFlushes = 0;

    int status(const QString& path, PathStatus* out) override {
        return injected(Op::Status) ? failWith[Op::Status] : PosixFileOps::status(path, out);
    }
    int readLink(const QString& path, QString* target) override {
        return injected(Op::ReadLink) ? failWith[Op::ReadLink]
                                      : PosixFileOps::readLink(path, target);
    }
    int changeMode(const QString& path, mode_t mode) override {
        return injected(Op::ChangeMode) ? failWith[Op::ChangeMode]
                                        : PosixFileOps::changeMode(path, mode);
    }
    int createExclusive(const QString& path, mode_t mode, int* fd) override {
        ++creates;
        lastCreated = path;
        if (createCollisions > 0) {
            --createCollisions;
            return EEXIST;
        }
        return injected(Op::Create) ? failWith[Op::Create]
                                    : PosixFileOps::createExclusive(path, mode, fd);
    }
    int write(int fd, const char* data, std::size_t size, std::size_t* written) override {
        if (interruptEveryOtherWrite && (interrupted_ = !interrupted_)) {
            *written = 0;
            return EINTR;
        }
        if (written_ >= writeFailsAfter) {
            *written = 0;
            return failWith[Op::Write];
        }
        size = std::min({size, maxChunk, writeFailsAfter - written_});
        const int error = PosixFileOps::write(fd, data, size, written);
        written_ += *written;
        return error;
    }
    int flush(int fd) override {
        return injected(Op::Flush) ? failWith[Op::Flush] : PosixFileOps::flush(fd);
    }
    int close(int fd) override {
        const int error = PosixFileOps::close(fd);  // never leak the descriptor
        return injected(Op::Close) ? failWith[Op::Close] : error;
    }
    int rename(const QString& from, const QString& to) override {
        return injected(Op::Rename) ? failWith[Op::Rename] : PosixFileOps::rename(from, to);
    }
    int exchange(const QString& a, const QString& b) override {
        return injected(Op::Rename) ? failWith[Op::Rename] : PosixFileOps::exchange(a, b);
    }
    int renameNoReplace(const QString& from, const QString& to) override {
        return injected(Op::Rename) ? failWith[Op::Rename]
                                    : PosixFileOps::renameNoReplace(from, to);
    }
    int flushFolder(const QString& path) override {
        ++folderFlushes;
        return injected(Op::FlushFolder) ? failWith[Op::FlushFolder]
                                         : PosixFileOps::flushFolder(path);
    }

private:
    bool injected(Op op) const { return failWith.count(op) > 0; }
    bool interrupted_ = false;
    std::size_t written_ = 0;
};

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList tempFiles(const QString& folder) {
    QStringList found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(TempFilePrefix)) {
            found << name;
        }
    }
    return found;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    return st.st_mode;
}

ToDoListData sampleData(int rows, int cols) {
    ToDoListData d;
    d.left = 1510;
    d.top = 434;
    d.width = 370;
    d.height = 211;
    d.rowCount = rows;
    d.columnCount = cols;
    d.skinName = "No Skin";
    for (int c = 0; c < cols; ++c) {
        d.columns.push_back({QStringLiteral("Col %1").arg(c), 50 + c, 0});
    }
    for (int r = 0; r < rows; ++r) {
        std::vector<QString> row;
        for (int c = 0; c < cols; ++c) {
            row.push_back(QStringLiteral("task %1/%2 \u00FC").arg(r).arg(c));
        }
        d.rows.push_back(row);
    }
    return d;
}

const QByteArray OldContent("old document, must survive every failure\r\n");

struct Folder {
    QTemporaryDir dir;
    QString app() const { return dir.path() + "/"; }
    QString target() const { return app() + ToDoListFileName; }
};

}  // namespace

TEST(ToDoListSaver, snapshot_whileFolded_savesTheUnfoldedWindowAtTheSameRightEdge) {
    TaskTable table;
    SaveSource folded;
    folded.left = 1340;
    folded.top = 200;
    folded.clientWidth = 30;
    folded.clientHeight = 180;
    folded.frameFull = false;
    folded.unfoldedClientWidth = 370;
    const ToDoListData d = snapshotForSave(folded, table);
    EXPECT_EQ(d.left, 1000);
    EXPECT_EQ(d.width, 370);
    EXPECT_EQ(d.top, 200);
    EXPECT_EQ(d.height, 180);

    SaveSource full = folded;
    full.frameFull = true;
    const ToDoListData f = snapshotForSave(full, table);
    EXPECT_EQ(f.left, 1340);
    EXPECT_EQ(f.width, 30);
}

TEST(ToDoListSaver, snapshot_takesTableShapeCellsAndColumns_andHeaderOnlyHasNoRows) {
    TaskTable table;
    table.setColCount(2);
    table.setRowCount(3);
    table.setCell(0, 0, " ");
    table.setCell(1, 0, "Task");
    table.setCell(1, 2, "last");
    table.setCell(0, 3, "hidden row");  // past the row count: not saved
    table.setColumnAlignment(0, Alignment::Center);
    table.setColumnWidth(1, 99);
    table.setCaptionsBold(true);
    table.setDrawGridLines(false);
    SaveSource window;
    window.skinName = "Blue";
    window.skinPath = "/skins/";
    ToDoListData d = snapshotForSave(window, table);
    EXPECT_EQ(d.rowCount, 2);
    EXPECT_EQ(d.columnCount, 2);
    EXPECT_TRUE(d.captionsBold);
    EXPECT_FALSE(d.drawGridLines);
    EXPECT_EQ(d.skinName, "Blue");
    EXPECT_EQ(d.skinPath, "/skins/");
    ASSERT_EQ(d.columns.size(), 2u);
    EXPECT_EQ(d.columns[0].caption, " ");
    EXPECT_EQ(d.columns[0].alignment, static_cast<std::uint8_t>(Alignment::Center));
    EXPECT_EQ(d.columns[1].width, 99);
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.rows[1], (std::vector<QString>{"", "last"}));

    table.setRowCount(1);
    d = snapshotForSave(window, table);
    EXPECT_EQ(d.rowCount, 0);
    EXPECT_TRUE(d.rows.empty());
    EXPECT_TRUE(writeToDoList(d).contains("<ToDoContent/>"));
}

TEST(ToDoListSaver, firstSaveAndResave_writeTheDocument_andLeaveNoTemporaryFile) {
    Folder f;
    FaultyOps ops;
    const ToDoListData data = sampleData(3, 3);
    SaveResult r = saveToDoList(ops, f.app(), data);
    ASSERT_TRUE(r.ok()) << r.errorKind.toStdString();
    EXPECT_EQ(readBytes(f.target()), writeToDoList(data));
    EXPECT_EQ(
        modeOf(f.target()) & 0777, 0666 & ~[] {
            const mode_t m = ::umask(0);
            ::umask(m);
            return m;
        }());
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
    EXPECT_EQ(ops.folderFlushes, 1);

    ::chmod(QFile::encodeName(f.target()).constData(), 0640);
    const ToDoListData second = sampleData(1, 2);
    r = saveToDoList(ops, f.app(), second);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(readBytes(f.target()), writeToDoList(second));
    EXPECT_EQ(modeOf(f.target()) & 07777, 0640u);  // the replaced file's permissions carry over
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
}

TEST(ToDoListSaver, shortAndInterruptedWrites_andATakenName_stillGiveTheCompleteFile) {
    Folder f;
    FaultyOps ops;
    ops.maxChunk = 7;
    ops.interruptEveryOtherWrite = true;
    ops.createCollisions = 1;
    const ToDoListData data = sampleData(20, 4);
    ASSERT_TRUE(saveToDoList(ops, f.app(), data).ok());
    EXPECT_EQ(readBytes(f.target()), writeToDoList(data));
    EXPECT_EQ(ops.creates, 2);
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
}

TEST(ToDoListSaver, readOnlyTarget_isSaved_andNoLongerReadOnly) {
    Folder f;
    writeBytes(f.target(), OldContent);
    ASSERT_EQ(::chmod(QFile::encodeName(f.target()).constData(), 0444), 0);
    FaultyOps ops;
    const ToDoListData data = sampleData(2, 3);
    ASSERT_TRUE(saveToDoList(ops, f.app(), data).ok());
    EXPECT_EQ(readBytes(f.target()), writeToDoList(data));
    EXPECT_EQ(modeOf(f.target()) & 0777, 0644u);
}

TEST(ToDoListSaver, symlinkedTarget_staysALink_andTheFileItNamesIsReplaced) {
    Folder f;
    ASSERT_TRUE(QDir(f.dir.path()).mkpath("real"));
    const QString real = f.dir.path() + "/real/Tasks.xml";
    writeBytes(real, OldContent);
    ASSERT_EQ(::symlink("real/Tasks.xml", QFile::encodeName(f.target()).constData()), 0);
    FaultyOps ops;
    const ToDoListData data = sampleData(2, 2);
    ASSERT_TRUE(saveToDoList(ops, f.app(), data).ok());
    EXPECT_TRUE(S_ISLNK(modeOf(f.target())));
    EXPECT_EQ(readBytes(real), writeToDoList(data));
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
    EXPECT_TRUE(tempFiles(f.dir.path() + "/real").isEmpty());

    // The folder the link leads to is the one that takes the temporary file, and the one
    // named when it refuses.
    FaultyOps refusing;
    refusing.failWith[Op::Create] = EACCES;
    EXPECT_EQ(saveToDoList(refusing, f.app(), data).folder, f.dir.path() + "/real/");

    // A chain of relative links, each read from the folder of the link itself.
    Folder chain;
    ASSERT_TRUE(QDir(chain.dir.path()).mkpath("links") && QDir(chain.dir.path()).mkpath("store"));
    writeBytes(chain.dir.path() + "/store/real.xml", OldContent);
    const auto link = [&](const char* target, const QString& at) {
        ASSERT_EQ(::symlink(target, QFile::encodeName(chain.dir.path() + at).constData()), 0);
    };
    link("links/first.xml", "/ToDoList.xml");
    link("../store/second.xml", "/links/first.xml");
    link("real.xml", "/store/second.xml");
    ASSERT_TRUE(saveToDoList(ops, chain.app(), data).ok());
    EXPECT_EQ(readBytes(chain.dir.path() + "/store/real.xml"), writeToDoList(data));
    for (const char* at : {"/ToDoList.xml", "/links/first.xml", "/store/second.xml"}) {
        EXPECT_TRUE(S_ISLNK(modeOf(chain.dir.path() + at))) << at;
    }

    // A link whose file is gone gets its file.
    ASSERT_TRUE(QFile::remove(real));
    ASSERT_TRUE(saveToDoList(ops, f.app(), data).ok());
    EXPECT_TRUE(S_ISLNK(modeOf(f.target())));
    EXPECT_EQ(readBytes(real), writeToDoList(data));

    // A loop of links is refused before anything is written.
    Folder loop;
    ASSERT_EQ(::symlink(ToDoListFileName.toLatin1().constData(),
                        QFile::encodeName(loop.target()).constData()),
              0);
    const SaveResult r = saveToDoList(ops, loop.app(), data);
    EXPECT_EQ(r.step, SaveResult::Replace);
    EXPECT_EQ(r.errorKind, "ELOOP");
    EXPECT_TRUE(tempFiles(loop.app()).isEmpty());
}

TEST(ToDoListSaver, aHardLinkedTarget_isReplacedUnderItsOwnName_andTheSplitIsReported) {
    Folder f;
    writeBytes(f.target(), OldContent);
    const QString other = f.dir.path() + "/other-name.xml";
    ASSERT_EQ(
        ::link(QFile::encodeName(f.target()).constData(), QFile::encodeName(other).constData()), 0);
    FaultyOps ops;
    const SaveResult split = saveToDoList(ops, f.app(), sampleData(1, 1));
    ASSERT_TRUE(split.ok());
    EXPECT_TRUE(split.splitHardLink);
    EXPECT_EQ(readBytes(other), OldContent);
    EXPECT_FALSE(saveToDoList(ops, f.app(), sampleData(1, 1)).splitHardLink);
}

TEST(ToDoListSaver, everyFailingStep_leavesTheOldTargetByteForByte_andNoTemporaryFile) {
    struct Case {
        Op op;
        int error;
        SaveResult::Step step;
        const char* kind;
    };
    const Case cases[] = {
        {Op::ChangeMode, EPERM, SaveResult::ReadOnly, "EPERM"},
        {Op::Create, EACCES, SaveResult::TempFile, "EACCES"},
        {Op::Create, EROFS, SaveResult::TempFile, "EROFS"},
        {Op::Write, ENOSPC, SaveResult::TempFile, "ENOSPC"},  // disk full part way
        {Op::Write, EDQUOT, SaveResult::TempFile, "EDQUOT"},
        {Op::Flush, EIO, SaveResult::TempFile, "EIO"},
        {Op::Close, EIO, SaveResult::TempFile, "EIO"},
        {Op::Status, EACCES, SaveResult::Replace, "EACCES"},
    };
    for (const Case& c : cases) {
        Folder f;
        writeBytes(f.target(), OldContent);
        ASSERT_EQ(::chmod(QFile::encodeName(f.target()).constData(), 0444), 0);
        FaultyOps ops;
        ops.failWith[c.op] = c.error;
        if (c.op == Op::Write) {
            ops.writeFailsAfter = 100;
        }
        const SaveResult r = saveToDoList(ops, f.app(), sampleData(30, 3));
        EXPECT_EQ(r.step, c.step) << c.kind;
        EXPECT_EQ(r.error, c.error) << c.kind;
        EXPECT_EQ(r.errorKind, c.kind);
        EXPECT_FALSE(r.errorMessage.isEmpty());
        EXPECT_EQ(readBytes(f.target()), OldContent) << c.kind;
        EXPECT_TRUE(tempFiles(f.app()).isEmpty()) << c.kind;
    }
}

TEST(ToDoListSaver, failedRenames_keepTheOldTarget_andLeaveNoTemporaryFileHowEverOftenTheyFail) {
    Folder f;
    writeBytes(f.target(), OldContent);
    FaultyOps ops;
    ops.failWith[Op::Rename] = EPERM;  // an immutable list
    for (int attempt = 0; attempt < 3; ++attempt) {
        const SaveResult r = saveToDoList(ops, f.app(), sampleData(2, 3));
        EXPECT_EQ(r.step, SaveResult::Replace);
        EXPECT_EQ(r.errorKind, "EPERM");
    }
    EXPECT_EQ(readBytes(f.target()), OldContent);
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
    // "ToDoList~tmp~backup~" + {8-4-4-4-12 upper-case hex digits}: 58 characters.
    const QString temp = QFileInfo(ops.lastCreated).fileName();
    EXPECT_EQ(temp.size(), 58);
    EXPECT_TRUE(
        QRegularExpression("^ToDoList~tmp~backup~\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$")
            .match(temp)
            .hasMatch())
        << temp.toStdString();
}

TEST(ToDoListSaver, folderThatCannotBeFlushed_stillCountsAsSaved) {
    Folder f;
    writeBytes(f.target(), OldContent);
    FaultyOps ops;
    ops.failWith[Op::FlushFolder] = EIO;
    const ToDoListData data = sampleData(1, 1);
    EXPECT_TRUE(saveToDoList(ops, f.app(), data).ok());
    EXPECT_EQ(readBytes(f.target()), writeToDoList(data));
    EXPECT_TRUE(tempFiles(f.app()).isEmpty());
}

TEST(ToDoListSaver, removedFolder_failsAtTheTemporaryFile_andTheTextNamesTheFolder) {
    QTemporaryDir dir;
    const QString gone = dir.path() + "/gone/";
    PosixFileOps ops;
    const SaveResult r = saveToDoList(ops, gone, sampleData(1, 1));
    ASSERT_EQ(r.step, SaveResult::TempFile);
    EXPECT_EQ(r.errorKind, "ENOENT");
    EXPECT_FALSE(QFileInfo::exists(gone));
}

namespace {

constexpr uid_t NobodyId = 65534;
constexpr int CannotSwitchUser = 250;

// Permission bits bind only an unprivileged user: as root the check runs in a child process
// switched to nobody. The result comes back as the exit code: step * 50 + errno.
std::optional<int> saveAsUnprivileged(const QString& appFolder) {
    auto save = [&appFolder] {
        PosixFileOps ops;
        const SaveResult r = saveToDoList(ops, appFolder, sampleData(2, 2));
        return static_cast<int>(r.step) * 50 + std::min(r.error, 49);
    };
    if (::geteuid() != 0) {
        return save();
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0) {
            ::_exit(CannotSwitchUser);
        }
        ::_exit(save());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) == CannotSwitchUser) {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

int code(SaveResult::Step step, int error) {
    return static_cast<int>(step) * 50 + error;
}

void setOwnerAndMode(const QString& path, uid_t owner, mode_t mode) {
    const QByteArray p = QFile::encodeName(path);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(p.constData(), owner, owner), 0);
    }
    ASSERT_EQ(::chmod(p.constData(), mode), 0);
}

}  // namespace

TEST(ToDoListSaver, unprivilegedUser_readOnlyFolderOrForeignReadOnlyTarget_failsAndKeepsTarget) {
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);

    // A folder without write permission: no temporary file can be made.
    ASSERT_TRUE(QDir(dir.path()).mkpath("b"));
    const QString b = dir.path() + "/b/";
    writeBytes(b + ToDoListFileName, OldContent);
    setOwnerAndMode(b + ToDoListFileName, ::geteuid(), 0666);
    setOwnerAndMode(b, ::geteuid(), 0555);
    std::optional<int> result = saveAsUnprivileged(b);
    ::chmod(QFile::encodeName(b).constData(), 0755);  // let QTemporaryDir clean up
    if (!result) {
        GTEST_SKIP() << "cannot switch to an unprivileged user to test permission bits";
    }
    EXPECT_EQ(*result, code(SaveResult::TempFile, EACCES));
    EXPECT_EQ(readBytes(b + ToDoListFileName), OldContent);
    EXPECT_TRUE(tempFiles(b).isEmpty());

    if (::geteuid() != 0) {
        GTEST_SKIP() << "a read-only file of another user needs root to set up";
    }
    // A read-only target of another user (root) in a folder anyone may write: its write
    // protection cannot be removed, so nothing is written.
    ASSERT_TRUE(QDir(dir.path()).mkpath("a"));
    const QString a = dir.path() + "/a/";
    writeBytes(a + ToDoListFileName, OldContent);
    setOwnerAndMode(a, 0, 0777);
    setOwnerAndMode(a + ToDoListFileName, 0, 0444);
    result = saveAsUnprivileged(a);
    ASSERT_TRUE(result);
    EXPECT_EQ(*result, code(SaveResult::ReadOnly, EPERM));
    EXPECT_EQ(readBytes(a + ToDoListFileName), OldContent);
    EXPECT_TRUE(tempFiles(a).isEmpty());
}

TEST(ToDoListSaver, unprivilegedUser_ownReadOnlyTarget_isSavedAndMadeWritable) {
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const uid_t owner = ::geteuid() == 0 ? NobodyId : ::geteuid();
    ASSERT_TRUE(QDir(dir.path()).mkpath("c"));
    const QString c = dir.path() + "/c/";
    writeBytes(c + ToDoListFileName, OldContent);
    setOwnerAndMode(c, owner, 0755);
    setOwnerAndMode(c + ToDoListFileName, owner, 0444);
    const std::optional<int> result = saveAsUnprivileged(c);
    if (!result) {
        GTEST_SKIP() << "cannot switch to an unprivileged user to test permission bits";
    }
    EXPECT_EQ(*result, code(SaveResult::Ok, 0));
    EXPECT_EQ(readBytes(c + ToDoListFileName), writeToDoList(sampleData(2, 2)));
    EXPECT_EQ(modeOf(c + ToDoListFileName) & 0777, 0644u);
    EXPECT_TRUE(tempFiles(c).isEmpty());
}
