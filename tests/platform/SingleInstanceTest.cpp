#include "platform/SingleInstance.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <stdexcept>

using namespace taskwick;
using Result = SingleInstanceLock::Result;

TEST(SingleInstance, lockTakenOrUnavailable_runsWithoutSearching) {
    int searches = 0;
    const auto search = [&searches] {
        ++searches;
        return true;
    };
    EXPECT_EQ(decideStart(Result::Acquired, search), StartAction::Run);
    EXPECT_EQ(decideStart(Result::Unavailable, search), StartAction::Run);
    EXPECT_EQ(searches, 0);
}

TEST(SingleInstance, lockHeldByOther_endsOnlyWhenItsWindowWasShown) {
    int searches = 0;
    EXPECT_EQ(decideStart(Result::HeldByOther,
                          [&searches] {
                              ++searches;
                              return true;
                          }),
              StartAction::EndAfterShowing);
    EXPECT_EQ(searches, 1);
    // No window found: this instance runs beside the other one.
    EXPECT_EQ(decideStart(Result::HeldByOther, [] { return false; }), StartAction::Run);
}

TEST(SingleInstance, failingSearch_isSwallowedAndStartGoesOn) {
    EXPECT_EQ(decideStart(Result::HeldByOther,
                          []() -> bool { throw std::runtime_error("display went away"); }),
              StartAction::Run);
}

TEST(SingleInstance, claimOffX11_acquiresAndRunsThenSecondClaimRunsBeside) {
    // On the offscreen platform there is no window to find, so a second claim runs too,
    // while the first keeps the lock.
    QTemporaryDir runtime;
    ASSERT_EQ(chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstanceLock first;
    SingleInstanceLock second;
    EXPECT_EQ(claimSingleInstance(first), StartAction::Run);
    EXPECT_TRUE(first.isHeld());
    EXPECT_EQ(claimSingleInstance(second), StartAction::Run);
    EXPECT_FALSE(second.isHeld());
    EXPECT_EQ(first.path(), runtime.filePath("ToDoMutex"));
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
}
