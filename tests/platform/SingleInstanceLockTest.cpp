#include "platform/SingleInstanceLock.h"
#include "tests/support/LockProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

using namespace taskwick;
using taskwick::testing::isLockedOnDisk;
using Result = SingleInstanceLock::Result;

namespace {

// Sets or clears an environment variable for one test and puts the old value back.
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
    }
    ~EnvGuard() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

}  // namespace

TEST(SingleInstanceLock, nameForDisplay_oneLockPerDisplay_whateverItsScreenOrSpelling) {
    EXPECT_EQ(SingleInstanceLock::nameForDisplay(":0"), "ToDoMutex-:0");
    EXPECT_EQ(SingleInstanceLock::nameForDisplay(":0.1"), "ToDoMutex-:0");
    EXPECT_EQ(SingleInstanceLock::nameForDisplay("unix:0.0"), "ToDoMutex-:0");
    EXPECT_EQ(SingleInstanceLock::nameForDisplay("localhost:10.0"), "ToDoMutex-localhost:10");
    EXPECT_EQ(SingleInstanceLock::nameForDisplay("/tmp/.X11-unix/X0"),
              "ToDoMutex-_tmp_.X11-unix_X0");
    EXPECT_EQ(SingleInstanceLock::nameForDisplay(""), "ToDoMutex");
}

TEST(SingleInstanceLock, firstAcquires_secondHolderIsRefused_releaseHandsOver) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SingleInstanceLock first;
    SingleInstanceLock second;
    EXPECT_EQ(first.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
    EXPECT_TRUE(isLockedOnDisk(first.path()));
    EXPECT_EQ(first.path(), dir.filePath("ToDoMutex"));
    EXPECT_TRUE(QFileInfo::exists(first.path()));

    // flock() locks belong to the open file, so a second open in this process is refused
    // exactly as another process would be.
    EXPECT_EQ(second.acquireIn(dir.path(), "ToDoMutex"), Result::HeldByOther);
    // Another name is another lock.
    SingleInstanceLock other;
    EXPECT_EQ(other.acquireIn(dir.path(), "OtherMutex"), Result::Acquired);

    first.release();
    EXPECT_FALSE(isLockedOnDisk(first.path())) << "released, and the refused one holds nothing";
    EXPECT_EQ(second.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
    EXPECT_EQ(first.acquireIn(dir.path(), "ToDoMutex"), Result::HeldByOther);
}

TEST(SingleInstanceLock, destroyedHolder_freesLock) {
    QTemporaryDir dir;
    {
        SingleInstanceLock holder;
        ASSERT_EQ(holder.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
    }
    SingleInstanceLock next;
    EXPECT_EQ(next.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
}

TEST(SingleInstanceLock, holderKilledWithSigkill_nextStartAcquires) {
    QTemporaryDir dir;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        SingleInstanceLock lock;
        const char state = lock.acquireIn(dir.path(), "ToDoMutex") == Result::Acquired ? 'A' : 'X';
        [[maybe_unused]] const ssize_t written = write(ready[1], &state, 1);
        while (true) {
            pause();
        }
    }
    close(ready[1]);
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    close(ready[0]);
    ASSERT_EQ(state, 'A');

    SingleInstanceLock second;
    EXPECT_EQ(second.acquireIn(dir.path(), "ToDoMutex"), Result::HeldByOther);

    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    // The file is still there, but nobody holds it.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("ToDoMutex")));
    EXPECT_EQ(second.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
}

TEST(SingleInstanceLock, startedProgramDoesNotInheritLock) {
    QTemporaryDir dir;
    SingleInstanceLock holder;
    ASSERT_EQ(holder.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);

    // A program started while the lock is held, like the successor of a restart, outlives
    // the release; had it inherited the descriptor, the lock would stay taken.
    QProcess sleeper;
    sleeper.start("sleep", {"30"});
    ASSERT_TRUE(sleeper.waitForStarted());
    holder.release();

    SingleInstanceLock successor;
    EXPECT_EQ(successor.acquireIn(dir.path(), "ToDoMutex"), Result::Acquired);
    sleeper.kill();
    sleeper.waitForFinished();
}

TEST(SingleInstanceLock, symlinkOrMissingFolder_isUnavailable) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath("victim");
    ASSERT_TRUE(QFile::link(target, dir.filePath("ToDoMutex")));
    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquireIn(dir.path(), "ToDoMutex"), Result::Unavailable);
    // The link was not followed: nothing was created at its target.
    EXPECT_FALSE(QFileInfo::exists(target));

    EXPECT_EQ(lock.acquireIn(dir.filePath("missing"), "ToDoMutex"), Result::Unavailable);
}

TEST(SingleInstanceLock, runtimeFolder_usesPrivateXdgRuntimeDir) {
    EnvGuard env("XDG_RUNTIME_DIR");
    QTemporaryDir runtime;
    QTemporaryDir base;
    ASSERT_EQ(chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(base.path()), runtime.path());
    // Nothing was made in the fallback place.
    EXPECT_TRUE(QDir(base.path()).isEmpty());
}

TEST(SingleInstanceLock, runtimeFolder_unsetOrUnusableXdg_fallsBackToPrivateFolder) {
    EnvGuard env("XDG_RUNTIME_DIR");
    QTemporaryDir base;
    const QString expected = base.filePath(QStringLiteral("taskwick-%1").arg(geteuid()));

    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(base.path()), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(modeOf(expected), 0700u);
    // A second start finds the folder it made before.
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(base.path()), expected);

    // Relative, missing and world-writable runtime folders are not trusted.
    QTemporaryDir open;
    ASSERT_EQ(chmod(QFile::encodeName(open.path()).constData(), 0777), 0);
    for (const QByteArray& value : {QByteArray("relative/run"), QByteArray("/nonexistent/run"),
                                    QByteArray(), QFile::encodeName(open.path())}) {
        qputenv("XDG_RUNTIME_DIR", value);
        EXPECT_EQ(SingleInstanceLock::runtimeFolder(base.path()), expected) << value.toStdString();
    }
}

TEST(SingleInstanceLock, runtimeFolder_plantedFallback_isRejected) {
    EnvGuard env("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    const QString name = QStringLiteral("taskwick-%1").arg(geteuid());

    // A symlink in place of the folder could lead the lock into someone else's folder.
    QTemporaryDir linkBase;
    QTemporaryDir target;
    ASSERT_TRUE(QFile::link(target.path(), linkBase.filePath(name)));
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(linkBase.path()), QString());

    // A folder others may write to.
    QTemporaryDir openBase;
    ASSERT_TRUE(QDir(openBase.path()).mkdir(name));
    ASSERT_EQ(chmod(QFile::encodeName(openBase.filePath(name)).constData(), 0777), 0);
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(openBase.path()), QString());

    // A file of that name.
    QTemporaryDir fileBase;
    QFile file(fileBase.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(SingleInstanceLock::runtimeFolder(fileBase.path()), QString());

    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquireIn(SingleInstanceLock::runtimeFolder(linkBase.path()), "ToDoMutex"),
              Result::Unavailable);
}

TEST(SingleInstanceLock, acquireWithoutXdgRuntimeDir_locksInTmpFallback) {
    EnvGuard env("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    // A name of its own, so that a Taskwick running on this machine is not disturbed.
    const QString name = QStringLiteral("TestMutex-%1").arg(getpid());
    SingleInstanceLock lock;
    ASSERT_EQ(lock.acquire(name), Result::Acquired);
    EXPECT_EQ(lock.path(), QStringLiteral("/tmp/taskwick-%1/%2").arg(geteuid()).arg(name));
    SingleInstanceLock second;
    EXPECT_EQ(second.acquire(name), Result::HeldByOther);
    lock.release();
    QFile::remove(lock.path());
}
