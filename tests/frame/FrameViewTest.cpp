// The frame around the table, as the user meets it: its pictures in their stacking order, the
// window dragged by the frame and snapped to the work area, resized at the edges, and the
// small buttons' pictures.
#include "frame/geometry/FrameLayout.h"
#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace taskwick;

namespace {

QPixmap solid(QSize size, QColor color) {
    QPixmap p(size);
    p.fill(color);
    return p;
}

// Every picture a color of its own, so a pixel tells which one is on top there.
FramePictures testPictures() {
    FramePictures p;
    p.top = solid({500, 30}, Qt::red);
    p.bottom = solid({500, 30}, Qt::cyan);
    p.right = solid({30, 180}, Qt::green);
    p.topRight = solid({100, 100}, Qt::blue);
    p.bottomRight = solid({100, 100}, Qt::yellow);
    p.redBar = solid({25, 150}, Qt::darkRed);
    QImage logo(252, 30, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    QPainter(&logo).fillRect(0, 0, 100, 30, Qt::magenta);  // the rest shows the strip
    p.logo = QPixmap::fromImage(logo);
    return p;
}

class FrameViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        const FrameHints hints{.exit = "Exit",
                               .shrink = "Make small",
                               .minimize = "Minimize",
                               .redBar = "red",
                               .addRow = "+r",
                               .deleteRow = "-r",
                               .addColumn = "+c",
                               .deleteColumn = "-c"};
        frame = new FrameView(testPictures(), hints, window.get());
        window->setGeometry(200, 150, 370, 211);
        frame->setGeometry(window->rect());
        frame->layOut(computeFrameLayout(370, 211, false));
        frame->setResizable(true);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        // Let go of any button a test left held, or later presses count it as held.
        QTest::mouseRelease(frame, Qt::LeftButton);
    }

    QRgb pixel(int x, int y) const { return frame->grab().toImage().pixel(x, y); }

    // Presses at a point of the frame, moves the pointer by `by` and lets go.
    void drag(QPoint from, QPoint by) {
        QTest::mousePress(frame, Qt::LeftButton, {}, from);
        QTest::mouseMove(frame, from + by);
        QTest::mouseRelease(frame, Qt::LeftButton, {}, from + by);
    }

    std::unique_ptr<QWidget> window;
    FrameView* frame = nullptr;
};

}  // namespace

TEST_F(FrameViewTest, picturesLieInTheirStackingOrder) {
    EXPECT_EQ(pixel(200, 10), QColor(Qt::red).rgb());      // top strip
    EXPECT_EQ(pixel(50, 10), QColor(Qt::magenta).rgb());   // the logo over its left end
    EXPECT_EQ(pixel(150, 10), QColor(Qt::red).rgb());      // through the logo's clear part
    EXPECT_EQ(pixel(290, 10), QColor(Qt::blue).rgb());     // the corner over its right end
    EXPECT_EQ(pixel(355, 60), QColor(Qt::blue).rgb());     // and over the right strip
    EXPECT_EQ(pixel(355, 105), QColor(Qt::green).rgb());   // the strip between the corners
    EXPECT_EQ(pixel(355, 150), QColor(Qt::yellow).rgb());  // the bottom corner over it
    EXPECT_EQ(pixel(100, 200), QColor(Qt::cyan).rgb());    // bottom strip
    EXPECT_EQ(frame->redBar()->geometry(), QRect(0, 30, 30, 151));
    EXPECT_EQ(frame->exitIcon()->pos(), QPoint(347, 7));

    frame->showAsBar();
    EXPECT_EQ(frame->exitIcon()->pos(), QPoint(7, 7));
    EXPECT_EQ(pixel(50, 10), QColor(Qt::red).rgb());  // no logo on the bar
    frame->showUnfolding();
    EXPECT_EQ(frame->exitIcon()->pos(), QPoint(347, 7));
    EXPECT_EQ(pixel(50, 10), QColor(Qt::magenta).rgb());
}

TEST_F(FrameViewTest, dragByTheFrame_snapsAtNineButNotTenPixelsFromTheWorkArea) {
    const QRect work = window->screen()->availableGeometry();
    QSignalSpy moved(frame, &FrameView::windowMovedByUser);

    drag({150, 15}, {-(200 - work.left()) + 9, 0});
    EXPECT_EQ(window->pos(), QPoint(work.left(), 150));
    drag({150, 15}, {10, 0});
    EXPECT_EQ(window->pos(), QPoint(work.left() + 10, 150));
    // The right edge of the work area, from the bottom strip.
    const int rightGap = work.right() + 1 - (window->x() + 370);
    drag({100, 200}, {rightGap - 9, 0});
    EXPECT_EQ(window->x() + 370, work.right() + 1);
    EXPECT_EQ(moved.count(), 3);
    EXPECT_EQ(window->size(), QSize(370, 211));
}

TEST_F(FrameViewTest, edgesResizeOnlyWhileResizable_andTheWindowGrowsBackToThirty) {
    QSignalSpy moved(frame, &FrameView::windowMovedByUser);
    drag({360, 200}, {30, 20});  // the bottom-right corner square
    EXPECT_EQ(window->geometry(), QRect(200, 150, 400, 231));

    // The left 4 pixels of the red bar are the window's left edge.
    QTest::mousePress(frame->redBar(), Qt::LeftButton, {}, {2, 60});
    QTest::mouseMove(frame->redBar(), {-18, 60});
    QTest::mouseRelease(frame->redBar(), Qt::LeftButton, {}, {-18, 60});
    EXPECT_EQ(window->geometry(), QRect(180, 150, 420, 231));

    // The right edge dragged to 15 pixels: 15 while dragging, 30 once let go.
    QTest::mousePress(frame, Qt::LeftButton, {}, {418, 100});
    QTest::mouseMove(frame, {13, 100});
    EXPECT_EQ(window->width(), 15);
    QTest::mouseRelease(frame, Qt::LeftButton, {}, {13, 100});
    EXPECT_EQ(window->width(), 30);
    EXPECT_EQ(moved.count(), 3);

    window->resize(370, 211);
    frame->setResizable(false);
    const QPoint before = window->pos();
    drag({368, 100}, {20, 0});  // the right edge now only drags
    EXPECT_EQ(window->size(), QSize(370, 211));
    EXPECT_EQ(window->pos(), before + QPoint(20, 0));
}

TEST_F(FrameViewTest, rightButtonAloneAsksForTheMenu_bothButtonsDrag) {
    QSignalSpy menu(frame, &FrameView::contextMenuRequested);
    QTest::mousePress(frame, Qt::RightButton, {}, {150, 15});
    QTest::mouseRelease(frame, Qt::RightButton, {}, {150, 15});
    EXPECT_EQ(menu.count(), 1);

    const QPoint before = window->pos();
    QTest::mousePress(frame, Qt::RightButton, {}, {150, 15});
    QTest::mousePress(frame, Qt::LeftButton, {}, {150, 15});
    QTest::mouseMove(frame, {170, 25});
    QTest::mouseRelease(frame, Qt::LeftButton, {}, {170, 25});
    QTest::mouseRelease(frame, Qt::RightButton, {}, {170, 25});
    EXPECT_EQ(window->pos(), before + QPoint(20, 10));
    EXPECT_EQ(menu.count(), 2);  // only the first press of the right button alone
}

TEST_F(FrameViewTest, buttonsShowTheirHoverAndPressedPictures_andClickOnRelease) {
    PictureButton* exit = frame->exitIcon();
    EXPECT_EQ(exit->toolTip(), "Exit");
    QSignalSpy clicked(exit, &PictureButton::clicked);
    EXPECT_EQ(exit->look(), PictureButton::Look::Normal);
    QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
    QApplication::sendEvent(exit, &enter);
    EXPECT_EQ(exit->look(), PictureButton::Look::Hover);
    QTest::mousePress(exit, Qt::LeftButton, {}, {4, 4});
    EXPECT_EQ(exit->look(), PictureButton::Look::Pressed);
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseRelease(exit, Qt::LeftButton, {}, {4, 4});
    EXPECT_EQ(clicked.count(), 1);
    // Let go outside: no click.
    QTest::mousePress(exit, Qt::LeftButton, {}, {4, 4});
    QTest::mouseRelease(exit, Qt::LeftButton, {}, {40, 4});
    EXPECT_EQ(clicked.count(), 1);
}
