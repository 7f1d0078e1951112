#include "storage/FileOps.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

using namespace taskwick;

TEST(FileOps, errnoNames_coverTheCommonErrors_andFallBackToTheNumber) {
    EXPECT_EQ(errnoName(EACCES), "EACCES");
    EXPECT_EQ(errnoName(ENOSPC), "ENOSPC");
    EXPECT_EQ(errnoName(EROFS), "EROFS");
    EXPECT_EQ(errnoName(EPERM), "EPERM");
    EXPECT_EQ(errnoName(ENAMETOOLONG), "ENAMETOOLONG");
    EXPECT_EQ(errnoName(9999), "errno 9999");
    EXPECT_EQ(errnoMessage(ENOENT), "No such file or directory");
}

TEST(FileOps, createExclusive_refusesATakenNameAndALink_andStatusDoesNotFollowLinks) {
    QTemporaryDir dir;
    PosixFileOps ops;
    const QString file = dir.path() + "/f";
    int fd = -1;
    ASSERT_EQ(ops.createExclusive(file, 0600, &fd), 0);
    std::size_t written = 0;
    EXPECT_EQ(ops.write(fd, "abc", 3, &written), 0);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(ops.flush(fd), 0);
    EXPECT_EQ(ops.close(fd), 0);
    EXPECT_EQ(ops.createExclusive(file, 0600, &fd), EEXIST);

    const QString link = dir.path() + "/link";
    ASSERT_EQ(::symlink("missing", QFile::encodeName(link).constData()), 0);
    // A dangling link must not let the create make a file somewhere else.
    EXPECT_EQ(ops.createExclusive(link, 0600, &fd), EEXIST);
    EXPECT_FALSE(QFile::exists(dir.path() + "/missing"));

    PathStatus st;
    ASSERT_EQ(ops.status(link, &st), 0);
    EXPECT_TRUE(st.exists);
    EXPECT_TRUE(st.isSymlink);
    QString target;
    ASSERT_EQ(ops.readLink(link, &target), 0);
    EXPECT_EQ(target, "missing");
    EXPECT_EQ(ops.status(dir.path() + "/none", &st), ENOENT);
    EXPECT_FALSE(st.exists);

    // A link text longer than the first buffer comes back whole.
    const QString longName = QString("d/").repeated(300) + "end";
    ASSERT_EQ(::symlink(QFile::encodeName(longName).constData(),
                        QFile::encodeName(dir.path() + "/long").constData()),
              0);
    ASSERT_EQ(ops.readLink(dir.path() + "/long", &target), 0);
    EXPECT_EQ(target, longName);
}

TEST(FileOps, renameRemoveAndFolderFlush_reportTheirErrors) {
    QTemporaryDir dir;
    PosixFileOps ops;
    EXPECT_EQ(ops.rename(dir.path() + "/none", dir.path() + "/other"), ENOENT);
    EXPECT_EQ(ops.remove(dir.path() + "/none"), ENOENT);
    EXPECT_EQ(ops.flushFolder(dir.path()), 0);
    EXPECT_EQ(ops.flushFolder(dir.path() + "/none"), ENOENT);
    EXPECT_EQ(ops.changeMode(dir.path() + "/none", 0644), ENOENT);
}
