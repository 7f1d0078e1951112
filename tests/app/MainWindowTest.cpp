#include "app/TaskwickApplication.h"
#include "app/menu/ContextMenu.h"
#include "app/window/MainWindow.h"
#include "frame/widgets/PictureButton.h"
#include "frame/widgets/RedBar.h"
#include "table/view/TaskGrid.h"
#include "tests/app/WindowFixture.h"

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
using taskwick::testing::WindowFixture;

TEST(MainWindow, firstRun_defaultsTableSizeAndNoBox) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(window->size(), QSize(370, 211));
    EXPECT_EQ(window->foldState(), FoldState::Full);
    EXPECT_EQ(window->minClientWidth(), 30);
    EXPECT_EQ(window->skinName(), "No Skin");
    EXPECT_EQ(window->windowTitle(), "Taskwick");
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));

    const TaskTable& t = window->table();
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
    EXPECT_FALSE(t.currentCell().has_value());
    EXPECT_EQ(window->grid()->geometry(), QRect(30, 30, 310, 151));
    EXPECT_EQ(t.columnWidth(0), 50);
    EXPECT_EQ(t.columnWidth(1), 210);
    EXPECT_EQ(t.columnWidth(2), 45);
    EXPECT_EQ(window->addRowButton()->geometry(), QRect(174, 176, 9, 9));
    EXPECT_EQ(window->deleteColumnButton()->geometry(), QRect(335, 109, 9, 9));
}

TEST(MainWindow, germanBuild_germanDefaults_andMarkerBoxWhenToolkitTextsAreEnglish) {
    WindowFixture f(Language::German);
    auto window = f.make();
    window->startUp();
    EXPECT_EQ(window->table().cell(1, 0), "Aufgabe");
    EXPECT_EQ(window->table().cell(1, 1), QString::fromUtf8("...Klicken für neue Aufgabe"));
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
    QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());

    WindowFixture shown(Language::English, {"taskwick", "/m"});
    auto other = shown.make();
    other->startUp();
    EXPECT_FALSE(other->startsHidden());
    QTest::qWait(20);
    EXPECT_TRUE(other->isVisible());
}

TEST(MainWindow, failureInFormCreate_reportsAndSkipsTheStartTimer) {
    WindowFixture f(Language::English, {"taskwick", "-m"});
    auto window = f.make();
    f.probe.failIn = "FormCreate";
    window->startUp();
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in FormCreate\r\n"));
    EXPECT_FALSE(window->startsHidden());  // the remaining steps never ran
    QTest::qWait(20);
    EXPECT_FALSE(window->isVisible());  // the timer never fired to show it
}

TEST(MainWindow, exitFailure_usesContextNameClose) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    f.probe.failIn = "Close";
    window->onExitTriggered();
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in Close\r\n"));
    EXPECT_FALSE(window->isClosed());
}

TEST(MainWindow, everyClosePathRunsTheCloseQueryOnce_evenWhenItFails) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    QSignalSpy finished(window.get(), &MainWindow::closeFinished);
    f.probe.failIn = "FormCloseQuery";
    window->onExitTriggered();
    window->requestClose();
    window->close();
    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in FormCloseQuery\r\n"));
}

namespace {
class ThrowingWidget : public QWidget {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            throw std::out_of_range("index 7");
        }
        return QWidget::event(e);
    }
};
}  // namespace

TEST(TaskwickApplication, exceptionEscapingAHandlerIsReportedAndTheLoopGoesOn) {
    auto* app = qobject_cast<TaskwickApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    QString message, className;
    app->setExceptionHandler([&](const QString& m, const QString& c) {
        message = m;
        className = c;
    });
    ThrowingWidget w;
    QCoreApplication::postEvent(&w, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    QTest::qWait(20);
    EXPECT_EQ(message, "index 7");
    EXPECT_EQ(className, "std::out_of_range");
    EXPECT_TRUE(later);
    app->setExceptionHandler({});
}

TEST(StayOnTopLowering, lowersVisibleStayOnTopWindowsOnceAndRestoresAtTheOutermostBox) {
    QWidget secondary(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    QWidget plain;
    secondary.show();
    plain.show();
    std::vector<std::pair<QWidget*, bool>> calls;
    StayOnTopLowering lowering(
        [&] {
            return std::vector<QWidget*>{&secondary, &plain};
        },
        [&](QWidget* w, bool top) { calls.emplace_back(w, top); });
    lowering.lower();
    lowering.lower();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(&secondary, false));
    lowering.restore();
    EXPECT_EQ(calls.size(), 1u);
    lowering.restore();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], std::make_pair(&secondary, true));
    lowering.restore();
    EXPECT_EQ(lowering.depth(), 0);
}

TEST(MainWindow, plusMinusButtonsRunTheCommandsWithoutTheMenuLimits) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    TaskTable& t = window->table();

    QTest::mouseClick(window->addRowButton(), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 7);

    // Rows 2..6 are empty: removed without a question, down to the first task row.
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(window->deleteRowButton(), Qt::LeftButton);
    }
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_TRUE(f.presenter.boxes.empty());

    // The default task row has content: the question comes, and No keeps it.
    f.presenter.setNextAnswer(false);
    QTest::mouseClick(window->deleteRowButton(), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 2);
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_EQ(f.presenter.boxes[0].text,
              "Do you really want to delete the row?\r\nContent: High, ...Click here for new "
              "task, 10min");
    EXPECT_EQ(f.presenter.boxes[0].title, "Attention");

    // Yes: the last task row goes, and the header row stops being fixed.
    QTest::mouseClick(window->deleteRowButton(), Qt::LeftButton);
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_FALSE(t.headerFixed());

    QTest::mouseClick(window->addColumnButton(), Qt::LeftButton);
    EXPECT_EQ(t.colCount(), 4);
    EXPECT_EQ(t.columnAlignments().size(), 4u);
}

TEST(MainWindow, restart_savesAndStepsAsideBeforeTheSuccessorStarts) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    window->table().setCell(1, 2, "written before the successor starts");
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
    QSignalSpy finished(window.get(), &MainWindow::closeFinished);
    window->restart();
    EXPECT_EQ(f.handover.starts, 1);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(f.presenter.boxes.empty());
}

TEST(MainWindow, restartFailure_isReportedAsRestart) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    f.probe.failIn = "Restart";
    window->restart();
    EXPECT_EQ(f.handover.starts, 0);
    ASSERT_EQ(f.presenter.boxes.size(), 1u);
    EXPECT_TRUE(f.presenter.boxes[0].text.startsWith("Exception in Restart\r\n"));
}

TEST(MainWindow, existingListIsLoadedAndEveryCloseSavesItOnce) {
    WindowFixture f;
    QPoint firstPos;
    {
        auto first = f.make();
        first->startUp();
        first->move(first->pos() + QPoint(-7, 5));
        firstPos = first->pos();
        first->table().setCell(0, 3, "A&B <c>");
        first->onGridLinesTriggered();
        first->closeAndSave();
    }
    auto second = f.make();
    second->startUp();
    EXPECT_TRUE(f.presenter.boxes.empty());
    EXPECT_EQ(second->table().cell(0, 3), "A&B <c>");
    EXPECT_FALSE(second->table().drawGridLines());
    EXPECT_EQ(second->table().cell(1, 0), "Task");
    EXPECT_EQ(second->pos(), firstPos);
    EXPECT_EQ(second->size(), QSize(370, 211));
}

TEST(MainWindow, rightPressOnTheRedBarOpensTheMenu_leftPressDoesNot) {
    WindowFixture f;
    auto window = f.make();
    window->startUp();
    window->show();
    EXPECT_EQ(window->redBar()->geometry(), QRect(0, 30, 30, 151));
    QMenu* menu = window->contextMenu()->menu();
    QTest::mousePress(window->redBar(), Qt::LeftButton, {}, QPoint(10, 50));
    QTest::mouseRelease(window->redBar(), Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_FALSE(menu->isVisible());
    QTimer::singleShot(50, menu, &QMenu::close);
    QTest::mousePress(window->redBar(), Qt::RightButton, {}, QPoint(10, 50));
    EXPECT_TRUE(menu->isVisible() || QTest::qWaitFor([&] { return menu->isVisible(); }, 40));
    QTest::qWait(80);
    // Let go of the button, or every later press in this process counts it as held.
    QTest::mouseRelease(window->redBar(), Qt::RightButton, {}, QPoint(10, 50));
}
