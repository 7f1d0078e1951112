// The main window's frame as the user works it: the red bar folds the window into a bar at the
// same right edge and back, Escape does the same, the minimise icon and the tray icon, and
// what a save keeps of a moved or folded window.
#include "app/window/MainWindow.h"
#include "frame/widgets/FrameView.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "frame/widgets/TrayIcon.h"
#include "table/view/TaskGrid.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QRegularExpression>
#include <QResizeEvent>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

using namespace taskwick;
using namespace taskwick::testing;

namespace {

// Every geometry the window takes while it resizes.
class GeometryRecorder : public QObject {
public:
    explicit GeometryRecorder(QWidget* window) : window_(window) {
        window->installEventFilter(this);
    }
    std::vector<QRect> seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            seen.push_back(window_->geometry());
        }
        return false;
    }

private:
    QWidget* window_;
};

std::unique_ptr<MainWindow> shownWindow(WindowFixture& f) {
    auto window = f.make();
    window->startUp();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

// The window as the user types into it: the first run's About dialog closed, the window the
// one that has the keys.
std::unique_ptr<MainWindow> activeWindow(WindowFixture& f) {
    auto window = shownWindow(f);
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window.get()) {
            other->close();
        }
    }
    window->activateWindow();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == window->windowHandle(); }));
    return window;
}

bool waitFolded(MainWindow& window) {
    return QTest::qWaitFor([&] { return isFolded(window); }, 3000);
}
bool waitFull(MainWindow& window) {
    return QTest::qWaitFor([&] { return isFull(window, 370); }, 3000);
}

void clickRedBar(MainWindow& window) {
    QTest::mouseClick(&redBarOf(window), Qt::LeftButton, {}, QPoint(15, 50));
}

int savedValue(const QByteArray& list, const char* element) {
    const QRegularExpression re(QStringLiteral("<%1>(-?\\d+)</%1>").arg(QLatin1String(element)));
    return re.match(QString::fromUtf8(list)).captured(1).toInt();
}

}  // namespace

TEST(FrameWindow, redBarFoldsToABarAtTheSameRightEdge_andUnfoldsToTheFullLayout) {
    WindowFixture f;
    auto window = shownWindow(f);
    const int left = window->x();
    const int right = left + 370;
    GeometryRecorder recorder(window.get());

    clickRedBar(*window);
    EXPECT_EQ(redBarOf(*window).toolTip(), "To make small click on the red bar");
    ASSERT_TRUE(waitFolded(*window));
    EXPECT_EQ(window->geometry(), QRect(left + 340, window->y(), 30, 211));
    ASSERT_EQ(recorder.seen.size(), 17u);
    for (std::size_t i = 0; i < recorder.seen.size(); ++i) {
        EXPECT_EQ(recorder.seen[i].right() + 1, right) << i;
        EXPECT_EQ(recorder.seen[i].width(), i < 16 ? 350 - 20 * int(i) : 30) << i;
    }
    EXPECT_EQ(buttonOf(*window, "exitIcon").pos(), QPoint(7, 7));
    EXPECT_EQ(redBarOf(*window).toolTip(), "To make big click on the red bar");
    // The frame kept the full window's places.
    EXPECT_EQ(gridOf(*window).pos(), QPoint(30, 30));
    EXPECT_EQ(gridOf(*window).height(), 151);
    EXPECT_EQ(buttonOf(*window, "addColumnButton").x(), 30 + 310 - 5) << "right of a 310 table";

    recorder.seen.clear();
    clickRedBar(*window);
    ASSERT_TRUE(waitFull(*window));
    EXPECT_EQ(recorder.seen.size(), 17u);
    EXPECT_EQ(window->geometry(), QRect(left, window->y(), 370, 211));
    EXPECT_EQ(gridOf(*window).pos(), QPoint(30, 30));
    EXPECT_EQ(gridOf(*window).height(), 151);
    EXPECT_EQ(buttonOf(*window, "addColumnButton").x(), 30 + 310 - 5) << "right of a 310 table";
    EXPECT_EQ(buttonOf(*window, "exitIcon").pos(), QPoint(347, 7));
    EXPECT_EQ(redBarOf(*window).toolTip(), "To make small click on the red bar");
}

TEST(FrameWindow, aWindowPastTheScreensEdge_foldsIntoABarWhollyOnTheScreen) {
    WindowFixture f;
    auto window = shownWindow(f);
    const QRect area = window->screen()->availableGeometry();
    const int areaRight = area.x() + area.width();
    window->move(areaRight - 200, 100);  // 170 of its 370 pixels past the edge
    clickRedBar(*window);
    ASSERT_TRUE(waitFolded(*window));
    EXPECT_EQ(window->geometry(), QRect(areaRight - 30, 100, 30, 211));
    // Unfolding puts the window back where it stood.
    clickRedBar(*window);
    ASSERT_TRUE(waitFull(*window));
    EXPECT_EQ(window->geometry(), QRect(areaRight - 200, 100, 370, 211));
}

TEST(FrameWindow, escapeFolds_andASaveWhileFoldedKeepsTheUnfoldedWindow) {
    WindowFixture f(Language::German);
    auto window = activeWindow(f);
    const int left = window->x();
    QTest::keyClick(&gridOf(*window), Qt::Key_Escape);
    ASSERT_TRUE(waitFolded(*window));
    EXPECT_EQ(redBarOf(*window).toolTip(),
              QString::fromUtf8("Zum Vergrößern auf den roten Balken klicken"));

    window->close();
    const QByteArray saved = f.listBytes();
    EXPECT_EQ(savedValue(saved, "Left"), left);
    EXPECT_EQ(savedValue(saved, "Width"), 370);
    EXPECT_EQ(savedValue(saved, "Height"), 211);

    // The next start shows the full window again.
    auto next = f.make();
    next->startUp();
    EXPECT_EQ(next->geometry(), QRect(left, window->y(), 370, 211));
    EXPECT_FALSE(gridOf(*next).isHidden());
}

// The bar hides the table, which had the keys: Escape is a key of the window, not of the table
// alone, and unfolds it.
TEST(FrameWindow, escapeOnTheBar_unfoldsIt) {
    WindowFixture f;
    auto window = activeWindow(f);
    QTest::keyClick(&gridOf(*window), Qt::Key_Escape);
    ASSERT_TRUE(waitFolded(*window));
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(waitFull(*window));
}

TEST(FrameWindow, withATray_minimiseHides_andATrayClickBringsItBackUnfolded) {
    WindowFixture f(Language::English, {"taskwick", "-m"});
    f.settings.systemTray = true;
    auto window = f.make();
    window->startUp();
    // Started hidden, the window docks its tray icon at once, after the start timer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return trayOf(*window).isVisible(); }, 2000));
    EXPECT_FALSE(window->isVisible());

    emit trayOf(*window).clicked();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->startsHidden());

    QTest::mouseClick(&buttonOf(*window, "minimizeIcon"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_FALSE(window->isVisible());
    emit trayOf(*window).clicked();
    EXPECT_TRUE(window->isVisible());

    // A click while the window is the bar unfolds it; one while it animates changes nothing:
    // the unfolding goes its 17 steps once.
    clickRedBar(*window);
    ASSERT_TRUE(waitFolded(*window));
    GeometryRecorder recorder(window.get());
    emit trayOf(*window).clicked();
    emit trayOf(*window).clicked();
    EXPECT_TRUE(waitFull(*window));
    EXPECT_EQ(recorder.seen.size(), 17u);
}

TEST(FrameWindow, withoutATray_minimiseAndMinusMMakeTheBarInsteadOfHiding) {
    WindowFixture f(Language::English, {"taskwick", "-m"});
    f.settings.systemTray = false;
    auto window = f.make();
    window->startUp();
    EXPECT_FALSE(window->startsHidden());
    EXPECT_TRUE(waitFolded(*window));
    EXPECT_TRUE(window->isVisible());

    clickRedBar(*window);
    ASSERT_TRUE(waitFull(*window));
    QTest::mouseClick(&buttonOf(*window, "minimizeIcon"), Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_TRUE(waitFolded(*window));
    EXPECT_TRUE(window->isVisible());
}

TEST(FrameWindow, aMoveByTheUserIsSavedSoon_theFoldAnimationIsNot) {
    WindowFixture f;
    SelectiveFaultOps ops;  // outlives the windows and their saves
    f.settings.autoSaveDelayMs = 30;
    auto window = shownWindow(f);
    window->close();  // a list on the disk to compare with
    window.reset();

    f.settings.fileOps = &ops;
    window = shownWindow(f);
    clickRedBar(*window);
    ASSERT_TRUE(waitFolded(*window));
    clickRedBar(*window);
    ASSERT_TRUE(waitFull(*window));

    const int left = window->x();
    FrameView* frame = &frameOf(*window);
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(150, 15));
    QTest::mouseMove(frame, QPoint(130, 45));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(130, 45));
    EXPECT_EQ(window->x(), left - 20);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return savedValue(f.listBytes(), "Left") == left - 20; }, 2000));
    // That was the only save: the fold before it changed nothing worth one.
    EXPECT_EQ(ops.replaces, 1);
}
