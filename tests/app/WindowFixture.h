#pragma once

#include "app/window/MainWindow.h"
#include "tests/support/RecordingBoxPresenter.h"
#include "tests/support/WindowParts.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace taskwick::testing {

// Stands in for the process around the window when it restarts.
struct RecordingHandover : InstanceHandover {
    bool lockReleased = false;
    std::function<bool()> onStart = [] { return true; };
    int starts = 0;
    void releaseInstanceLock() override { lockReleased = true; }
    bool startSuccessor() override {
        ++starts;
        return onStart();
    }
};

// A main window over a folder of its own, whose boxes are answered and recorded.
struct WindowFixture {
    explicit WindowFixture(Language language = Language::English, QStringList args = {"taskwick"})
        : boxes(language, presenter) {
        settings.language = language;
        settings.arguments = std::move(args);
        settings.appFolder = dir.path() + "/";
        settings.handover = &handover;
        settings.rescueFolders = {rescue.path() + "/"};
    }
    // Made as the program makes it: with its native window, before the start.
    std::unique_ptr<MainWindow> make() {
        auto window = std::make_unique<MainWindow>(settings, boxes);
        window->winId();
        return window;
    }

    QString listPath() const { return dir.filePath("ToDoList.xml"); }
    QByteArray listBytes() const {
        QFile f(listPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeList(const QByteArray& bytes) const {
        QFile f(listPath());
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            f.write(bytes);
        }
    }

    QTemporaryDir dir;
    QTemporaryDir rescue;  // the user's state folder
    RecordingHandover handover;
    RecordingBoxPresenter presenter;
    MessageBoxes boxes;
    MainWindowSettings settings;
};

}  // namespace taskwick::testing
