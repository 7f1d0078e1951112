// Stands in for the two sides of a second start under a real X server:
//   x11_probe own [--hidden] [--no-marker] [--widget] [--caption T] [--wm-class C]
//       owns a window like the main window (a QWidget's with --widget, as the main window is,
//       else a plain QWindow) and reads commands (show, hide, above 0|1, quit)
//       from stdin; prints "ready 0x<id>" once the window exists and "shown" on a show request.
//   x11_probe find            prints the running instance's window id, exit 1 when none
//   x11_probe find-and-show   finds it and asks it to show itself, exit 1 when none
//   x11_probe show-id ID      asks the window ID to show itself, exit 2 when that fails
//   x11_probe find-self       owns a matching window and checks that the search passes it over
#include "platform/SignalPipe.h"
#include "platform/X11Windows.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <QWindow>

#include <memory>

#include <unistd.h>
#include <cstdio>

using namespace taskwick;

namespace {

void say(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString hexId(x11::WindowId id) {
    return QStringLiteral("0x%1").arg(id, 0, 16);
}

QString option(const QStringList& args, const QString& name, const QString& fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

// The window under test, a plain QWindow or the one of a QWidget.
class Target {
public:
    explicit Target(const QStringList& args) {
        const Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
        const QString title = option(args, "--caption", "Taskwick");
        if (args.contains("--widget")) {
            widget_ = std::make_unique<QWidget>(nullptr, flags);
            widget_->setWindowTitle(title);
            widget_->setGeometry(1510, 434, 370, 211);
            widget_->winId();
            window_ = widget_->windowHandle();
        } else {
            plain_ = std::make_unique<QWindow>();
            plain_->setFlags(flags);
            plain_->setTitle(title);
            plain_->setGeometry(1510, 434, 370, 211);
            plain_->create();
            window_ = plain_.get();
        }
        x11::setWindowClass(window_, "taskwick",
                            option(args, "--wm-class", "TToDoForm").toLatin1());
        x11::setSkipTaskbarAndPager(window_);
        if (!args.contains("--no-marker")) {
            x11::markAsTaskwickWindow(window_);
        }
    }

    QWindow* window() const { return window_; }
    void show() { widget_ ? widget_->show() : plain_->show(); }
    void hide() { widget_ ? widget_->hide() : plain_->hide(); }
    void raise() { widget_ ? widget_->raise() : plain_->raise(); }
    void activate() { widget_ ? widget_->activateWindow() : plain_->requestActivate(); }

private:
    std::unique_ptr<QWidget> widget_;
    std::unique_ptr<QWindow> plain_;
    QWindow* window_ = nullptr;
};

int own(QApplication& app, const QStringList& args) {
    Target window(args);

    x11::ShowRequestListener listener;
    QObject::connect(&listener, &x11::ShowRequestListener::showRequested, [&window] {
        window.show();
        window.raise();
        window.activate();
        x11::activateWindow(window.window());
        say("shown");
    });
    SignalPipe signalPipe;
    QObject::connect(&signalPipe, &SignalPipe::terminationRequested, &app, &QCoreApplication::quit);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer - 1);
        if (got <= 0) {
            input.setEnabled(false);
            return;
        }
        for (const QByteArray& command : QByteArray(buffer, got).split('\n')) {
            if (command == "show") {
                window.show();
            } else if (command == "hide") {
                window.hide();
            } else if (command == "above 0" || command == "above 1") {
                x11::setStayOnTop(window.window(), command.endsWith('1'));
            } else if (command == "quit") {
                app.quit();
            } else {
                continue;
            }
            say("done " + QString::fromLatin1(command));
        }
    });

    if (!args.contains("--hidden")) {
        window.show();
    }
    say("ready " + hexId(static_cast<x11::WindowId>(window.window()->winId())));
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!x11::isAvailable()) {
        say("no X11");
        return 3;
    }
    const QString mode = args.value(0);
    if (mode == "own") {
        return own(app, args);
    }
    if (mode == "find" || mode == "find-and-show") {
        const auto found = x11::findRunningInstanceWindow();
        if (!found) {
            say("none");
            return 1;
        }
        say("found " + hexId(*found) + (x11::isTaskwickWindow(*found) ? " marked" : " foreign"));
        if (mode == "find-and-show" && !x11::requestShowWindow(*found)) {
            say("show request failed");
            return 2;
        }
        return 0;
    }
    if (mode == "show-id") {
        bool ok = false;
        const auto id = static_cast<x11::WindowId>(args.value(1).toUInt(&ok, 16));
        if (!ok || !x11::requestShowWindow(id)) {
            say("show request failed");
            return 2;
        }
        return 0;
    }
    if (mode == "find-self") {
        Target window(args);
        window.show();
        app.processEvents();
        const auto found = x11::findRunningInstanceWindow();
        say(found ? "found " + hexId(*found) : QStringLiteral("none"));
        return found ? 0 : 1;
    }
    say("unknown mode");
    return 64;
}
