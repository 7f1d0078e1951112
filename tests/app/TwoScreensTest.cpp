// The fold on two screens side by side, 1920 x 1080 each: the bar goes to the screen that held
// most of the window, and unfolding puts the window back where it stood.
#include "app/window/MainWindow.h"
#include "frame/widgets/RedBar.h"
#include "tests/app/WindowFixture.h"

#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace taskwick;
using namespace taskwick::testing;

namespace {

std::unique_ptr<MainWindow> windowAt(WindowFixture& f, int left) {
    auto window = f.make();
    window->startUp();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->move(left, 300);
    return window;
}

void clickRedBar(MainWindow& window) {
    QTest::mouseClick(&redBarOf(window), Qt::LeftButton, {}, QPoint(15, 50));
}
bool fold(MainWindow& window) {
    clickRedBar(window);
    return QTest::qWaitFor([&] { return isFolded(window); }, 3000);
}
bool unfold(MainWindow& window) {
    clickRedBar(window);
    return QTest::qWaitFor([&] { return isFull(window, 370); }, 3000);
}

int savedLeft(const QByteArray& list) {
    const QRegularExpression re(QStringLiteral("<Left>(-?\\d+)</Left>"));
    return re.match(QString::fromUtf8(list)).captured(1).toInt();
}

}  // namespace

TEST(TwoScreens, theBarLiesOnTheScreenThatHeldMostOfTheWindow_andUnfoldsWhereTheWindowStood) {
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    const QRect leftScreen = QGuiApplication::screens()[0]->geometry();
    const QRect rightScreen = QGuiApplication::screens()[1]->geometry();
    const struct {
        const char* where;
        int left;
        QRect bar;
        QRect screen;
    } cases[] = {
        // 320 of its 370 pixels on the left screen: the bar comes in to that screen's edge.
        {"mostly on the left screen", 1600, QRect(1890, 300, 30, 211), leftScreen},
        {"wholly on the left screen", 1000, QRect(1340, 300, 30, 211), leftScreen},
        // 300 pixels on the right screen: the bar keeps the right edge there.
        {"mostly on the right screen", 1850, QRect(2190, 300, 30, 211), rightScreen},
        {"out past the right screen", 3600, QRect(3810, 300, 30, 211), rightScreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        WindowFixture f;
        auto window = windowAt(f, c.left);
        const QRect full = window->geometry();
        ASSERT_TRUE(fold(*window));
        EXPECT_EQ(window->geometry(), c.bar);
        EXPECT_TRUE(c.screen.contains(window->geometry()));
        ASSERT_TRUE(unfold(*window));
        EXPECT_EQ(window->geometry(), full);
    }
}

// Folded, the window is saved where unfolding puts it; a bar moved meanwhile unfolds from its
// own right edge, and is saved so.
TEST(TwoScreens, aFoldedWindowIsSavedWhereItUnfolds_andAMovedBarUnfoldsFromItsRightEdge) {
    WindowFixture f;
    auto window = windowAt(f, 1600);
    ASSERT_TRUE(fold(*window));
    window->close();
    EXPECT_EQ(savedLeft(f.listBytes()), 1600);

    window = windowAt(f, 1600);
    ASSERT_TRUE(fold(*window));
    window->move(1700, 300);  // as a window manager moves it
    ASSERT_TRUE(unfold(*window));
    EXPECT_EQ(window->geometry(), QRect(1360, 300, 370, 211));
    ASSERT_TRUE(fold(*window));
    window->move(1500, 300);
    window->close();
    EXPECT_EQ(savedLeft(f.listBytes()), 1160);
}
