// Off X11 (here the offscreen platform) every X11 function stands aside harmlessly.
#include "platform/X11Windows.h"

#include <QSignalSpy>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace taskwick;

TEST(X11Offscreen, searchFindsNothingAndRequestsFail) {
    EXPECT_FALSE(x11::isAvailable());
    QWidget widget;
    widget.setWindowTitle("Taskwick");
    widget.show();
    EXPECT_FALSE(x11::findRunningInstanceWindow().has_value());
    EXPECT_FALSE(x11::requestShowWindow(static_cast<x11::WindowId>(widget.winId())));
    EXPECT_FALSE(x11::isTaskwickWindow(static_cast<x11::WindowId>(widget.winId())));
}

TEST(X11Offscreen, windowSettersLeaveWindowAsItWas) {
    QWidget widget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    widget.winId();
    QWindow* window = widget.windowHandle();
    ASSERT_NE(window, nullptr);
    x11::setWindowClass(window, "taskwick", "TToDoForm");
    x11::setSkipTaskbarAndPager(window);
    x11::markAsTaskwickWindow(window);
    x11::setStayOnTop(window, false);
    x11::activateWindow(window);
    // No helper objects were hung on the window.
    EXPECT_TRUE(window->findChildren<QObject*>().isEmpty());
    widget.show();
    EXPECT_TRUE(widget.isVisible());
    EXPECT_TRUE(window->flags().testFlag(Qt::WindowStaysOnTopHint));
    // Null windows are passed over as well.
    x11::setSkipTaskbarAndPager(nullptr);
    x11::setStayOnTop(nullptr, true);
}

TEST(X11Offscreen, showRequestListenerNeverFires) {
    x11::ShowRequestListener listener;
    QSignalSpy spy(&listener, &x11::ShowRequestListener::showRequested);
    // An event of another platform's kind is not taken.
    int message = 0;
    EXPECT_FALSE(listener.nativeEventFilter("windows_generic_MSG", &message, nullptr));
    EXPECT_FALSE(spy.wait(50));
}
