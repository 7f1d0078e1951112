#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QPoint>

#include <optional>

class QWindow;

// The X11 services the main window and the program entry need beyond what Qt offers. Every
// function does nothing (and returns false or nothing) when the application does not run on
// the xcb platform, e.g. on the offscreen platform of the tests.
namespace taskwick::x11 {

using WindowId = quint32;

bool isAvailable();

// Looks through the top-level windows of the display for the main window of a running
// instance: class part of WM_CLASS "TToDoForm" and title "Taskwick", both without regard to
// case. Besides the children of the root window it looks at their descendants two levels
// down, because a reparenting window manager puts each client window into a frame (sometimes
// with a wrapper between). The windows of this process and windows whose _NET_WM_PID is
// excludePid are passed over. Returns the first match, the topmost first.
std::optional<WindowId> findRunningInstanceWindow(
    qint64 excludePid = QCoreApplication::applicationPid());

// Shows the found window normally and brings it to the front, without waiting for it.
// Only its owner can show a window the owner hid itself, so a window marked by
// markAsTaskwickWindow() is sent a show request that its ShowRequestListener answers; any other
// window is mapped and activated through the window manager. Returns false when the window is
// gone or no request could be sent.
bool requestShowWindow(WindowId window);

// True when the window carries the marker of markAsTaskwickWindow().
bool isTaskwickWindow(WindowId window);

// Marks the window as a Taskwick main window that answers show requests. Creates the native
// window when it does not exist yet. Like all properties set here, the marker belongs to the
// native window: it is gone when Qt recreates it.
void markAsTaskwickWindow(QWindow* window);

// Sets WM_CLASS. Qt would take the class from the application name.
void setWindowClass(QWindow* window, const QByteArray& instanceName, const QByteArray& className);

// Keeps the window out of the taskbar and the pager. Qt sets neither state for tool windows.
// A window manager drops _NET_WM_STATE when a window is hidden, so the states are applied
// again each time the window is shown, for as long as the window lives.
void setSkipTaskbarAndPager(QWindow* window);

// Puts the window above other windows or lets it go back among them, without recreating it.
// Qt adds the above state again at the next show while the window has
// Qt::WindowStaysOnTopHint; this is meant for a temporary change of a visible window.
void setStayOnTop(QWindow* window, bool onTop);

// Asks the window manager to give the window the focus and raise it, which also brings a
// minimised window back. A window not mapped yet is activated as soon as it appears.
void activateWindow(QWindow* window);

// Where the window stands on the screen as the X server has it: the top-left corner of its
// client area. Qt takes a top-level window's position from the configure events it sees, and
// a reparenting window manager can leave that stale for good: Qt asks the server where a
// window is when the manager resizes it inside its frame, which may still stand at 0, 0 while
// the manager is placing it, and the manager's move of the frame itself is not reported.
// Known for a window on the screen; a window that is shown but not yet put on the screen by
// the manager is waited for, at most `waitForScreenMs`. Nothing otherwise (a hidden window
// keeps the place it had).
std::optional<QPoint> positionOnScreen(QWindow* window, int waitForScreenMs = 0);

// Answers the show requests of requestShowWindow() in the running instance. It installs itself
// on the application while it lives; its owner connects showRequested() to showing, raising
// and activating the main window.
class ShowRequestListener : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit ShowRequestListener(QObject* parent = nullptr);
    ~ShowRequestListener() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void showRequested();
};

}  // namespace taskwick::x11
