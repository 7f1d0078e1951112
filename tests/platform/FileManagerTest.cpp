// Runs on a private session bus (dbus-run-session), where this test plays the file manager.
#include "platform/FileManager.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

using namespace taskwick;

namespace {

// A stand-in for the desktop's file manager that records what it was asked to show.
class FakeFileManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList lastUris() {
        QMutexLocker lock(&mutex_);
        return uris_;
    }
    QString lastStartupId() {
        QMutexLocker lock(&mutex_);
        return startupId_;
    }

public slots:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        QMutexLocker lock(&mutex_);
        uris_ = uris;
        startupId_ = startupId;
        if (!answer) {
            setDelayedReply(true);  // and never reply: a file manager that hangs
        }
    }

public:
    std::atomic<bool> answer{true};

private:
    QMutex mutex_;
    QStringList uris_;
    QString startupId_;
};

// The fake lives on a connection and thread of its own, so that it answers while the code
// under test waits for the reply.
class FileManagerService {
public:
    FileManagerService() {
        thread_.start();
        fake_.moveToThread(&thread_);
        bus_ = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-file-manager"));
        registered_ = bus_->registerObject("/org/freedesktop/FileManager1", &fake_,
                                           QDBusConnection::ExportAllSlots) &&
                      bus_->registerService("org.freedesktop.FileManager1");
    }
    ~FileManagerService() {
        bus_->unregisterService("org.freedesktop.FileManager1");
        bus_->unregisterObject("/org/freedesktop/FileManager1");
        bus_.reset();
        QDBusConnection::disconnectFromBus("fake-file-manager");
        thread_.quit();
        thread_.wait();
    }
    bool registered() const { return registered_; }
    FakeFileManager& fake() { return fake_; }

private:
    QThread thread_;
    FakeFileManager fake_;
    std::unique_ptr<QDBusConnection> bus_;
    bool registered_ = false;
};

// Takes the place of the desktop's handler of file: URLs.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

}  // namespace

TEST(FileManager, fileUri_isAbsoluteAndPercentEncoded) {
    QTemporaryDir dir;
    const QString path = dir.filePath("my tasks/To Do#1.xml");
    EXPECT_EQ(FileManager::fileUri(path),
              "file://" + QString(dir.path()).replace(' ', "%20") + "/my%20tasks/To%20Do%231.xml");
    const QString relative = FileManager::fileUri("ToDoList.xml");
    EXPECT_TRUE(relative.startsWith("file:///")) << relative.toStdString();
    EXPECT_TRUE(relative.endsWith("/ToDoList.xml")) << relative.toStdString();
}

namespace {

// Runs showItem and waits for its answer; fails the test when none comes.
std::optional<FileManager::Shown> showAndWait(const QString& path, int timeoutMs,
                                              bool* returnedBeforeAnswer = nullptr) {
    std::optional<FileManager::Shown> shown;
    int answers = 0;
    FileManager::showItem(
        path,
        [&](FileManager::Shown s) {
            shown = s;
            ++answers;
        },
        timeoutMs);
    if (returnedBeforeAnswer) {
        *returnedBeforeAnswer = answers == 0;
    }
    QDeadlineTimer deadline(timeoutMs + 5000);
    while (!shown && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // A late answer must not add a second way of showing the file.
    QDeadlineTimer settle(300);
    while (!settle.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_LE(answers, 1);
    return shown;
}

}  // namespace

TEST(FileManager, showItem_asksFileManagerToSelectTheFile_withoutWaitingForIt) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "needs a session bus";
    FileManagerService service;
    ASSERT_TRUE(service.registered());
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");

    QTemporaryDir dir;
    const QString path = dir.filePath("ToDoList.xml");
    bool returnedAtOnce = false;
    EXPECT_EQ(showAndWait(path, FileManager::ShowItemsTimeoutMs, &returnedAtOnce),
              FileManager::Shown::InFileManager);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(returnedAtOnce);
    EXPECT_EQ(service.fake().lastUris(), QStringList{FileManager::fileUri(path)});
    EXPECT_EQ(service.fake().lastStartupId(), QString());
    EXPECT_TRUE(recorder.opened.isEmpty());
}

TEST(FileManager, showItem_fileManagerThatNeverAnswers_opensTheFolderOnce) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "needs a session bus";
    FileManagerService service;
    ASSERT_TRUE(service.registered());
    service.fake().answer = false;
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");

    QTemporaryDir dir;
    bool returnedAtOnce = false;
    EXPECT_EQ(showAndWait(dir.filePath("ToDoList.xml"), 400, &returnedAtOnce),
              FileManager::Shown::Folder);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(returnedAtOnce);
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

TEST(FileManager, showItem_withoutFileManager_opensTheFolder_orReportsNothingShown) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "needs a session bus";
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.FileManager1"));
    QTemporaryDir dir;
    // The offscreen platform has no desktop to open the folder with.
    EXPECT_EQ(showAndWait(dir.filePath("ToDoList.xml"), 2000), FileManager::Shown::Nothing);

    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    EXPECT_EQ(showAndWait(dir.filePath("ToDoList.xml"), 2000), FileManager::Shown::Folder);
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

#include "FileManagerTest.moc"
