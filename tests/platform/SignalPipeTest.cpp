#include "platform/SignalPipe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <csignal>

using namespace taskwick;

namespace {

volatile sig_atomic_t previousHandlerRan = 0;
extern "C" void previousHandler(int) {
    previousHandlerRan = 1;
}

}  // namespace

TEST(SignalPipe, raisedSigterm_arrivesAsSignalOnEventLoop) {
    SignalPipe pipe;
    ASSERT_TRUE(pipe.isActive());
    QSignalSpy spy(&pipe, &SignalPipe::terminationRequested);
    ASSERT_EQ(raise(SIGTERM), 0);
    // The handler only wrote into the pipe: nothing is emitted before the loop runs.
    EXPECT_EQ(spy.count(), 0);
    ASSERT_TRUE(spy.wait(5000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
}

TEST(SignalPipe, severalSignals_eachArriveInOrder) {
    SignalPipe pipe;
    QSignalSpy spy(&pipe, &SignalPipe::terminationRequested);
    ASSERT_EQ(raise(SIGHUP), 0);
    ASSERT_EQ(raise(SIGINT), 0);
    ASSERT_EQ(raise(SIGTERM), 0);
    ASSERT_TRUE(spy.wait(5000));
    while (spy.count() < 3 && spy.wait(1000)) {
    }
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGHUP);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
    EXPECT_EQ(spy.at(2).at(0).toInt(), SIGTERM);
}

TEST(SignalPipe, onlyChosenSignalsAreTaken_andPreviousHandlersComeBack) {
    struct sigaction action {};
    action.sa_handler = previousHandler;
    sigemptyset(&action.sa_mask);
    struct sigaction oldHup {};
    struct sigaction oldUsr {};
    ASSERT_EQ(sigaction(SIGHUP, &action, &oldHup), 0);
    ASSERT_EQ(sigaction(SIGUSR1, &action, &oldUsr), 0);
    {
        SignalPipe pipe({SIGHUP});
        QSignalSpy spy(&pipe, &SignalPipe::terminationRequested);
        previousHandlerRan = 0;
        ASSERT_EQ(raise(SIGUSR1), 0);
        EXPECT_EQ(previousHandlerRan, 1);
        previousHandlerRan = 0;
        ASSERT_EQ(raise(SIGHUP), 0);
        EXPECT_EQ(previousHandlerRan, 0);
        ASSERT_TRUE(spy.wait(5000));
        EXPECT_EQ(spy.at(0).at(0).toInt(), SIGHUP);
    }
    previousHandlerRan = 0;
    ASSERT_EQ(raise(SIGHUP), 0);
    EXPECT_EQ(previousHandlerRan, 1);
    sigaction(SIGHUP, &oldHup, nullptr);
    sigaction(SIGUSR1, &oldUsr, nullptr);
}

TEST(SignalPipe, secondPipeWhileOneExists_isInactive) {
    SignalPipe first;
    SignalPipe second;
    EXPECT_TRUE(first.isActive());
    EXPECT_FALSE(second.isActive());
    QSignalSpy spy(&first, &SignalPipe::terminationRequested);
    ASSERT_EQ(raise(SIGINT), 0);
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGINT);
}
