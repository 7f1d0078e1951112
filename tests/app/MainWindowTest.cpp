#include "app/window/MainWindow.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "table/view/TaskGrid.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/SelectiveFaultOps.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace taskwick;
using namespace taskwick::testing;

TEST(MainWindow, firstRun_defaultsTableSizeAndNoBox) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(window->size(), QSize(370, 211));
    EXPECT_EQ(window->windowTitle(), "Taskwick");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));

    const TaskTable& t = tableOf(*window);
    ASSERT_EQ(t.rowCount(), 6);
    ASSERT_EQ(t.colCount(), 3);
    EXPECT_EQ(t.cell(0, 0), "Prio");
    EXPECT_EQ(t.cell(1, 0), "Task");
    EXPECT_EQ(t.cell(2, 0), "Time");
    EXPECT_EQ(t.cell(0, 1), "High");
    EXPECT_EQ(t.cell(1, 1), "...Click here for new task");
    EXPECT_EQ(t.cell(2, 1), "10min");
    for (int row = 2; row < 6; ++row) {
        for (int col = 0; col < 3; ++col) {
            EXPECT_EQ(t.cell(col, row), "") << col << "," << row;
        }
    }
    EXPECT_EQ(t.columnAlignments(),
              (std::vector<Alignment>{Alignment::Center, Alignment::Left, Alignment::Center}));
    EXPECT_FALSE(gridOf(*window).currentCell().cell().has_value());
    EXPECT_EQ(gridOf(*window).geometry(), QRect(30, 30, 310, 151));
    EXPECT_EQ(t.columnWidth(0), 50);
    EXPECT_EQ(t.columnWidth(1), 210);
    EXPECT_EQ(t.columnWidth(2), 45);
    EXPECT_EQ(buttonOf(*window, "addRowButton").geometry(), QRect(174, 176, 9, 9));
    EXPECT_EQ(buttonOf(*window, "deleteRowButton").geometry(), QRect(185, 176, 9, 9));
    // The column buttons straddle the table's right edge, one below the other around its
    // vertical middle, and follow both when the window grows.
    EXPECT_EQ(buttonOf(*window, "addColumnButton").geometry(), QRect(335, 100, 9, 9));
    EXPECT_EQ(buttonOf(*window, "deleteColumnButton").geometry(), QRect(335, 109, 9, 9));
    window->show();
    window->resize(500, 311);
    EXPECT_EQ(buttonOf(*window, "addColumnButton").geometry(), QRect(465, 150, 9, 9));
    EXPECT_EQ(buttonOf(*window, "deleteColumnButton").geometry(), QRect(465, 159, 9, 9));

    window->close();
    EXPECT_TRUE(f.listBytes().contains("<SkinName>No Skin</SkinName>"));
}

TEST(MainWindow, germanBuild_germanDefaults_andMarkerBoxWhenToolkitTextsAreEnglish) {
    WindowFixture f(Language::German);
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(tableOf(*window).cell(1, 0), "Aufgabe");
    EXPECT_EQ(tableOf(*window).cell(1, 1), QString::fromUtf8("...Klicken für neue Aufgabe"));
    // The test runs without the German toolkit translation: the marker check must say so.
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_EQ(f.presenter.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(f.presenter.boxes[0].title, "Fehler");
    EXPECT_EQ(f.presenter.boxes[0].text,
              "Wrong constants!\r\n\r\nExpected:  DEUTSCH\r\nFound:  ENGLISH");
}

TEST(MainWindow, startHiddenArgument_keepsTheWindowHiddenAfterTheStartTimer) {
    WindowFixture hidden(Language::English, {"taskwick", "-m"});
    hidden.settings.systemTray = true;
    auto window = hidden.make();
    window->startUp();
    EXPECT_TRUE(window->startsHidden());
    // A window started hidden docks its tray icon at once, after the start timer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return trayOf(*window).isVisible(); }, 2000));
    EXPECT_FALSE(window->isVisible());

    WindowFixture shown(Language::English, {"taskwick", "/m"});
    auto other = shown.make();
    other->startUp();
    EXPECT_FALSE(other->startsHidden());
    EXPECT_TRUE(QTest::qWaitFor([&] { return other->isVisible(); }, 2000));
}

TEST(MainWindow, everyWayOfClosing_savesOnce_andEndsTheWindow) {
    WindowFixture f;
    SelectiveFaultOps ops;
    f.settings.fileOps = &ops;
    auto window = f.make();
    window->startUp();
    actionOf(*window, "exit").trigger();
    EXPECT_TRUE(isClosed(*window));
    window->requestClose();
    window->close();
    QTest::mouseClick(&buttonOf(*window, "exitIcon"), Qt::LeftButton);
    EXPECT_EQ(ops.replaces, 1);
    EXPECT_FALSE(f.listBytes().isEmpty());
    EXPECT_TRUE(f.presenter.boxes.empty());
}

// The exit icon is Exit: a click closes the window, saving the list.
TEST(MainWindow, theExitIcon_closesAndSaves) {
    WindowFixture f;
    SelectiveFaultOps ops;
    f.settings.fileOps = &ops;
    auto window = f.make();
    window->startUp();
    QTest::mouseClick(&buttonOf(*window, "exitIcon"), Qt::LeftButton);
    EXPECT_TRUE(isClosed(*window));
    EXPECT_EQ(ops.replaces, 1);
}

TEST(MainWindow, plusMinusButtonsRunTheCommandsWithoutTheMenuLimits) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    TaskTable& t = tableOf(*window);

    QTest::mouseClick(&buttonOf(*window, "addRowButton"), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 7);

    // Rows 2..6 are empty: removed without a question, down to the first task row.
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(&buttonOf(*window, "deleteRowButton"), Qt::LeftButton);
    }
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_TRUE(f.presenter.boxes.empty());

    // The default task row has content: the question comes, and No keeps it.
    f.presenter.setNextAnswer(false);
    QTest::mouseClick(&buttonOf(*window, "deleteRowButton"), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 2);
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_EQ(f.presenter.boxes[0].text,
              "Do you really want to delete the row?\r\nContent: High, ...Click here for new "
              "task, 10min");
    EXPECT_EQ(f.presenter.boxes[0].title, "Attention");

    // Yes: the last task row goes, and the caption row stops being fixed.
    QTest::mouseClick(&buttonOf(*window, "deleteRowButton"), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_FALSE(t.captionsFixed());

    QTest::mouseClick(&buttonOf(*window, "addColumnButton"), Qt::LeftButton);
    EXPECT_EQ(t.colCount(), 4);
    EXPECT_EQ(t.columnAlignments().size(), 4u);
}

TEST(MainWindow, restart_savesAndStepsAsideBeforeTheSuccessorStarts) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    tableOf(*window).setCell(1, 2, "written before the successor starts");
    f.handover.onStart = [&] {
        // What the successor would see at this moment.
        EXPECT_TRUE(f.handover.lockReleased);
        EXPECT_NE(window->windowTitle().compare("Taskwick", Qt::CaseInsensitive), 0);
        EXPECT_FALSE(window->isVisible());
        QFile file(f.dir.filePath("ToDoList.xml"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("written before the successor starts"));
        return true;
    };
    // A restart comes from the skin menu's "No Skin" while a skin is worn.
    tableOf(*window).setCell(0, 2, "x");
    window->findChild<QAction*>("noSkin")->trigger();  // no skin worn: nothing happens
    EXPECT_EQ(f.handover.starts, 0);
    EXPECT_FALSE(isClosed(*window));
}

TEST(MainWindow, existingListIsLoadedAndEveryCloseSavesItOnce) {
    WindowFixture f;
    QPoint firstPos;
    {
        auto first = f.make();
        first->startUp();
        first->move(first->pos() + QPoint(-7, 5));
        firstPos = first->pos();
        tableOf(*first).setCell(0, 3, "A&B <c>");
        actionOf(*first, "gridLines").trigger();
        first->close();
    }
    auto second = f.make();
    second->startUp();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(tableOf(*second).cell(0, 3), "A&B <c>");
    EXPECT_FALSE(tableOf(*second).drawGridLines());
    EXPECT_EQ(tableOf(*second).cell(1, 0), "Task");
    EXPECT_EQ(second->pos(), firstPos);
    EXPECT_EQ(second->size(), QSize(370, 211));
}

TEST(MainWindow, listInTheDataFolder_isToldOfOnce_andLivesThereAlone) {
    WindowFixture f;
    QTemporaryDir data;
    f.settings.listFolder = data.path() + "/";
    const QString listPath = data.filePath("ToDoList.xml");
    {
        auto first = f.make();
        first->startUp();
        ASSERT_EQ(f.presenter.boxes.size(), 1u);
        EXPECT_EQ(f.presenter.boxes[0].kind, BoxKind::Information);
        EXPECT_EQ(f.presenter.boxes[0].title, "Notice");
        EXPECT_EQ(f.presenter.boxes[0].text,
                  "Taskwick cannot save into its program folder:\r\n" + f.dir.path() +
                      "/\r\nYour task list is kept in your own data folder instead:\r\n" +
                      listPath + "\r\n\"Open File Folder\" in the menu shows it.");
        // Relative names (a skins folder named in the list) resolve beside the list.
        EXPECT_EQ(QDir::currentPath(), data.path());
        tableOf(*first).setCell(0, 3, "kept with the user");
        first->close();
    }
    QFile saved(listPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("kept with the user"));
    EXPECT_TRUE(QDir(f.dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    auto second = f.make();
    second->startUp();
    EXPECT_EQ(f.presenter.boxes.size(), 1u);  // no second word about it
    EXPECT_EQ(tableOf(*second).cell(0, 3), "kept with the user");
}

TEST(MainWindow, rightPressOnTheRedBarOpensTheMenu_leftPressDoesNot) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    window->show();
    RedBar* redBar = &redBarOf(*window);
    EXPECT_EQ(redBar->geometry(), QRect(0, 30, 30, 151));
    QMenu* menu = &menuOf(*window);
    QTest::mousePress(redBar, Qt::LeftButton, {}, QPoint(10, 50));
    QTest::mouseRelease(redBar, Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_FALSE(menu->isVisible());
    QTest::mousePress(redBar, Qt::RightButton, {}, QPoint(10, 50));
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 2000));
    menu->close();
    // Let go of the button, or every later press in this process counts it as held.
    QTest::mouseRelease(redBar, Qt::RightButton, {}, QPoint(10, 50));
}
