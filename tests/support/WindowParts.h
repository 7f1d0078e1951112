#pragma once

#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "frame/widgets/TrayIcon.h"
#include "table/view/TaskGrid.h"

#include <QAction>
#include <QMenu>

namespace taskwick::testing {

// The window's parts, found by their names as a screen reader or a script would find them.
inline TaskGrid& gridOf(const MainWindow& window) {
    return *window.findChild<TaskGrid*>(QStringLiteral("taskGrid"));
}
inline TaskTable& tableOf(const MainWindow& window) {
    return gridOf(window).table();
}
inline FrameView& frameOf(const MainWindow& window) {
    return *window.findChild<FrameView*>(QStringLiteral("frame"));
}
inline RedBar& redBarOf(const MainWindow& window) {
    return *window.findChild<RedBar*>(QStringLiteral("redBar"));
}
// "addRowButton", "exitIcon" ...
inline PictureButton& buttonOf(const MainWindow& window, const char* name) {
    return *window.findChild<PictureButton*>(QLatin1String(name));
}
inline QMenu& menuOf(const MainWindow& window) {
    return *window.findChild<QMenu*>(QStringLiteral("contextMenu"));
}
// A command's action: "addRow", "captionsBold", "exit" ...
inline QAction& actionOf(const MainWindow& window, const char* name) {
    return *window.findChild<QAction*>(QLatin1String(name));
}
inline TrayIcon& trayOf(const MainWindow& window) {
    return *window.findChild<TrayIcon*>();
}
inline bool isClosed(const MainWindow& window) {
    return window.phase() == MainWindow::Phase::Closed;
}

// The window as the bar, 30 pixels wide with the table out of sight; and full again, back at
// its width (while it unfolds, the table shows already).
inline bool isFolded(const MainWindow& window) {
    return window.width() == 30 && !gridOf(window).isVisible();
}
inline bool isFull(const MainWindow& window, int fullWidth) {
    return window.width() == fullWidth && gridOf(window).isVisible();
}

}  // namespace taskwick::testing
