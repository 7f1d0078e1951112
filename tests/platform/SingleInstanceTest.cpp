#include "platform/SingleInstance.h"
#include "tests/support/LockProbe.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

using namespace taskwick;
using taskwick::testing::isLockedOnDisk;
using Result = SingleInstanceLock::Result;

namespace {

// A scripted system: the lock's answers in turn (the last one repeats), the search's answers
// in turn (false once they run out), and the time slept.
struct ScriptedSystem {
    std::vector<Result> locks;
    std::vector<bool> windows;
    int lockCalls = 0;
    int searches = 0;
    int slept = 0;
    bool searchThrows = false;

    InstanceProbe probe() {
        return {.takeLock =
                    [this] {
                        const auto i = std::min<std::size_t>(lockCalls++, locks.size() - 1);
                        return locks[i];
                    },
                .showRunningInstance =
                    [this] {
                        if (searchThrows) {
                            throw std::runtime_error("display went away");
                        }
                        const auto i = static_cast<std::size_t>(searches++);
                        return i < windows.size() && windows[i];
                    },
                .sleep = [this](int ms) { slept += ms; }};
    }
};

}  // namespace

TEST(SingleInstance, lockTakenOrUnavailable_runsWithoutSearching) {
    for (Result lock : {Result::Acquired, Result::Unavailable}) {
        ScriptedSystem system{.locks = {lock}, .windows = {true}};
        EXPECT_EQ(decideStart(system.probe()), StartAction::Run);
        EXPECT_EQ(system.searches, 0);
    }
}

TEST(SingleInstance, lockHeld_waitsForTheOtherWindow_thenEndsAfterShowingIt) {
    ScriptedSystem found{.locks = {Result::HeldByOther}, .windows = {true}};
    EXPECT_EQ(decideStart(found.probe()), StartAction::EndAfterShowing);
    EXPECT_EQ(found.slept, 0);

    // The first instance is still making its window: the third look finds it.
    ScriptedSystem late{.locks = {Result::HeldByOther}, .windows = {false, false, true}};
    EXPECT_EQ(decideStart(late.probe(), 1000, 50), StartAction::EndAfterShowing);
    EXPECT_EQ(late.slept, 100);
}

TEST(SingleInstance, lockHeldWithoutAWindow_runsBesideAfterThePatience_orOnceTheHolderGoes) {
    ScriptedSystem hung{.locks = {Result::HeldByOther}, .windows = {}};
    EXPECT_EQ(decideStart(hung.probe(), 1000, 50), StartAction::Run);
    EXPECT_EQ(hung.slept, 1000);
    EXPECT_EQ(hung.searches, 21);

    // The holder ends while this start waits: it takes the lock and runs as the only one.
    ScriptedSystem gone{.locks = {Result::HeldByOther, Result::HeldByOther, Result::Acquired},
                        .windows = {}};
    EXPECT_EQ(decideStart(gone.probe(), 1000, 50), StartAction::Run);
    EXPECT_EQ(gone.slept, 100);
    EXPECT_EQ(gone.lockCalls, 3);

    // A search that fails is no reason not to start, but the start still waits its time.
    ScriptedSystem failing{.locks = {Result::HeldByOther}, .windows = {}, .searchThrows = true};
    EXPECT_EQ(decideStart(failing.probe(), 200, 50), StartAction::Run);
    EXPECT_EQ(failing.slept, 200);
}

TEST(SingleInstance, claimOffX11_acquiresAndRunsThenSecondClaimRunsBeside) {
    // On the offscreen platform there is no window to find, so a second claim runs too,
    // while the first keeps the lock.
    QTemporaryDir runtime;
    ASSERT_EQ(chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("DISPLAY", ":7.0");
    SingleInstanceLock first;
    SingleInstanceLock second;
    EXPECT_EQ(claimSingleInstance(first, 0), StartAction::Run);
    EXPECT_TRUE(isLockedOnDisk(first.path()));
    EXPECT_EQ(claimSingleInstance(second, 0), StartAction::Run);
    EXPECT_EQ(first.path(), runtime.filePath("ToDoMutex-:7"));
    // Another display of the same user is another session: it runs with a lock of its own.
    qputenv("DISPLAY", ":8");
    SingleInstanceLock otherDisplay;
    EXPECT_EQ(claimSingleInstance(otherDisplay, 0), StartAction::Run);
    EXPECT_TRUE(isLockedOnDisk(otherDisplay.path()));
    first.release();
    EXPECT_FALSE(isLockedOnDisk(first.path())) << "the second start of :7 holds nothing";
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("DISPLAY", oldDisplay);
}
