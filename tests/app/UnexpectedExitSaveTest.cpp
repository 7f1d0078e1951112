#include "app/UnexpectedExitSave.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <thread>

using namespace taskwick;

namespace {

// Runs `body` in a child process that ends through exit(1), as the toolkit ends a program
// whose X server went away; returns whether the armed save wrote its marker file.
// An object that is never destroyed, like main()'s on the stack when exit() runs.
void armForever(std::function<void()> save) {
    alignas(UnexpectedExitSave) static unsigned char storage[sizeof(UnexpectedExitSave)];
    new (storage) UnexpectedExitSave(std::move(save));
}

template <class Body>
bool savedInChild(const QString& marker, Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return QFile::exists(marker);
}

}  // namespace

TEST(UnexpectedExitSave, anExitOnTheGuiThreadSaves_notFromAnotherThread_norOnceDisarmed) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("saved");
    auto save = [marker] {
        QFile f(marker);
        f.open(QIODevice::WriteOnly);
    };

    EXPECT_TRUE(savedInChild(marker, [&] { armForever(save); }));
    QFile::remove(marker);

    EXPECT_FALSE(savedInChild(marker, [&] {
        armForever(save);
        std::thread([] { std::exit(1); }).join();
    }));

    EXPECT_FALSE(savedInChild(marker, [&] { UnexpectedExitSave disarmedAtScopeEnd(save); }));
}
