#include "app/startup/ListFolder.h"
#include "storage/FileOps.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

using namespace taskwick;
using namespace taskwick::testing;

TEST(ListFolder, userDataFolder_xdgDataHomeWhenAbsolute_elseTheHomesLocalShare) {
    struct Case {
        const char* xdgDataHome;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/data/me", "/home/me", "/data/me/taskwick/"},
        {"/data/me/", "/home/me", "/data/me/taskwick/"},
        {"", "/home/me", "/home/me/.local/share/taskwick/"},
        {"relative/data", "/home/me/", "/home/me/.local/share/taskwick/"},  // does not count
        {"", "", ""},
        {"", "not/absolute", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(userDataFolder(c.xdgDataHome, c.home), c.expected)
            << c.xdgDataHome << " | " << c.home;
    }
}

namespace {

struct Folders {
    QTemporaryDir root;
    QString program() const { return root.path() + "/program/"; }
    // Two levels that do not exist yet, as on a first start of a new user.
    QString data() const { return root.path() + "/home/.local/share/taskwick/"; }
    Folders() { QDir(root.path()).mkpath("program"); }
};

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

TEST(ListFolder, writableProgramFolder_keepsTheListBesideTheExecutable_andLeavesNoTrace) {
    Folders f;
    PosixFileOps ops;
    EXPECT_EQ(chooseListFolder(ops, f.program(), f.data()), f.program());
    EXPECT_TRUE(entriesOf(f.program()).isEmpty());  // the file it tried with is gone
    EXPECT_FALSE(QFileInfo::exists(f.data()));      // and no data folder was made
}

TEST(ListFolder, readOnlyOrForbiddenProgramFolder_movesTheListToTheDataFolder_aFullDiskDoesNot) {
    struct Case {
        int error;
        bool moves;
    };
    // A full disk or a failing device is a passing state of the disk, not a folder that is
    // not the user's: the list stays where it is, and its saves say what went wrong.
    const Case cases[] = {{EACCES, true},  {EPERM, true},   {EROFS, true},
                          {ENOSPC, false}, {EDQUOT, false}, {EIO, false}};
    for (const Case& c : cases) {
        Folders f;
        SelectiveFaultOps ops;
        ops.failCreateContaining = f.program();
        ops.createError = c.error;
        const QString chosen = chooseListFolder(ops, f.program(), f.data());
        EXPECT_EQ(chosen, c.moves ? f.data() : f.program()) << errnoName(c.error).toStdString();
        EXPECT_EQ(QFileInfo(f.data()).isDir(), c.moves) << errnoName(c.error).toStdString();
    }
}

TEST(ListFolder, missingDataFolder_isMadePrivateToTheUser_withTheFoldersAboveIt) {
    Folders f;
    SelectiveFaultOps ops;
    ops.createError = EROFS;
    ASSERT_EQ(chooseListFolder(ops, f.program(), f.data()), f.data());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(f.data()).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    // A data folder that is there already is used as it is, its files with it.
    QFile kept(f.data() + "ToDoList.xml");
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.close();
    EXPECT_EQ(chooseListFolder(ops, f.program(), f.data()), f.data());
    EXPECT_TRUE(kept.exists());
}

TEST(ListFolder, dataFolderThatCannotBeMade_isStillTheListsFolder_noDataFolderKeepsItBeside) {
    Folders f;
    SelectiveFaultOps ops;
    ops.createError = EACCES;
    // A file where a folder of the path should be: the saves will name the folder they
    // could not write to, and rescue the tasks; beside a refusing executable they could
    // neither.
    QFile blocker(f.root.path() + "/home");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(chooseListFolder(ops, f.program(), f.data()), f.data());
    EXPECT_FALSE(QFileInfo(f.data()).isDir());

    // Without a home folder there is no data folder to go to.
    EXPECT_EQ(chooseListFolder(ops, f.program(), QString()), f.program());
}
