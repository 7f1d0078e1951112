#include "app/window/MainWindow.h"
#include "table/view/CellEditor.h"
#include "table/view/TaskGrid.h"
#include "tests/app/WindowFixture.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace taskwick;
using namespace taskwick::testing;

namespace {

// A user's day with the list, every change made as the user makes it: the mouse, the keys, the
// frame's buttons and the menu's commands.
class UndoJourney : public ::testing::Test {
protected:
    void SetUp() override {
        {
            auto first = f.make();
            first->startUp();
            first->close();
        }
        // A list as it stands after a few sessions: the empty cells of a first run are read
        // back as blanks, and saved as blanks from then on.
        f.writeList(f.listBytes().replace("<Text/>", "<Text> </Text>"));
        f.settings.autoSaveDelayMs = 10;
        window = f.make();
        window->startUp();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TaskGrid& grid() const { return gridOf(*window); }
    QWidget* focus() const {
        QWidget* focused = QApplication::focusWidget();
        return focused ? focused : &grid();
    }
    void click(int col, int row) const {
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().cellRect(col, row).center());
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) const {
        QTest::keyClick(focus(), static_cast<Qt::Key>(key), modifiers);
    }
    void type(const QString& text) const {
        for (const QChar c : text) {
            QTest::keyClicks(focus(), QString(c));
        }
    }
    // Drags the border between the first two captions to the right.
    void widenFirstColumnBy(int pixels) const {
        const QPoint border(tableOf(*window).columnWidth(0), 10);
        QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, border);
        QTest::mouseMove(grid().viewport(), border + QPoint(pixels, 0));
        QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, border + QPoint(pixels, 0));
    }

    // The file once the automatic save wrote something other than `previous`.
    QByteArray savedOtherThan(const QByteArray& previous) const {
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.listBytes() != previous; }, 5000));
        return f.listBytes();
    }
    bool savedAs(const QByteArray& expected) const {
        return QTest::qWaitFor([&] { return f.listBytes() == expected; }, 5000);
    }

    WindowFixture f;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

TEST_F(UndoJourney, everyStepUndoneAndDoneAgain_savesTheListOfEachMomentByteForByte) {
    QAction& undo = actionOf(*window, "undo");
    QAction& redo = actionOf(*window, "redo");
    EXPECT_FALSE(undo.isEnabled());
    TaskTable& t = tableOf(*window);

    const std::vector<std::pair<const char*, std::function<void()>>> steps = {
        {"cell edit",
         [&] {
             click(1, 2);
             type("Buy milk");
             key(Qt::Key_Return);
         }},
        {"Delete",
         [&] {
             click(1, 1);
             key(Qt::Key_Delete);
         }},
        {"Ctrl+X",
         [&] {
             click(0, 1);
             key(Qt::Key_X, Qt::ControlModifier);
         }},
        {"Ctrl+V",
         [&] {
             click(0, 3);
             key(Qt::Key_V, Qt::ControlModifier);
         }},
        {"add row", [&] { QTest::mouseClick(&buttonOf(*window, "addRowButton"), Qt::LeftButton); }},
        // "Time" and "10min" go after the question, answered Yes.
        {"delete column",
         [&] { QTest::mouseClick(&buttonOf(*window, "deleteColumnButton"), Qt::LeftButton); }},
        {"alignment", [&] { actionOf(*window, "rightAlign").trigger(); }},
        {"captions bold", [&] { actionOf(*window, "captionsBold").trigger(); }},
        {"grid lines", [&] { actionOf(*window, "gridLines").trigger(); }},
        {"column width", [&] { widenFirstColumnBy(40); }},
        {"caption edit",
         [&] {
             actionOf(*window, "changeCaptions").trigger();
             click(1, 0);
             type("Errand");
             key(Qt::Key_Return);
         }},
        {"widths fitted",
         [&] {
             click(1, 3);  // the captions are fixed again
             QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {},
                                grid().cellRect(0, 0).center());
         }},
    };

    std::vector<QByteArray> saved{f.listBytes()};
    for (const auto& [name, step] : steps) {
        step();
        saved.push_back(savedOtherThan(saved.back()));
        ASSERT_FALSE(HasFailure()) << "after the step: " << name;
    }
    EXPECT_EQ(t.cell(1, 0), "Errand");
    EXPECT_EQ(t.colCount(), 2);
    EXPECT_TRUE(undo.isEnabled());
    EXPECT_FALSE(redo.isEnabled());

    for (size_t i = steps.size(); i > 0; --i) {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(savedAs(saved[i - 1])) << "undoing the step: " << steps[i - 1].first;
        if (steps[i - 1].first == std::string("alignment")) {
            // The menu's tick follows the undone alignment as it followed the command.
            EXPECT_TRUE(actionOf(*window, "centerAlign").isChecked());
        }
    }
    EXPECT_EQ(f.listBytes(), saved.front());
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_TRUE(redo.isEnabled());

    // Ctrl+Y and Ctrl+Shift+Z both do them again.
    for (size_t i = 1; i <= steps.size(); ++i) {
        key(i % 2 ? Qt::Key_Y : Qt::Key_Z,
            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(savedAs(saved[i])) << "doing again: " << steps[i - 1].first;
    }
    EXPECT_FALSE(redo.isEnabled());
    EXPECT_TRUE(f.presenter.boxes.size() == 1u) << "the one question before the column went";
}

TEST_F(UndoJourney, insideTheEditorTheKeysAreTheEditors_andAVersionFromOutsideEndsTheHistory) {
    TaskTable& t = tableOf(*window);
    QAction& undo = actionOf(*window, "undo");
    click(1, 2);
    type("first");
    key(Qt::Key_Return);
    const QByteArray afterFirst = savedOtherThan(f.listBytes());

    // F2 opens the editor on "first": the keys undo and redo the typing, not the table's step.
    key(Qt::Key_F2);
    key(Qt::Key_End);
    type("!!");
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(grid().isEditing());
    EXPECT_EQ(grid().editor()->text(), "first");
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(grid().editor()->text(), "first!!");
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Return);
    EXPECT_EQ(t.cell(1, 2), "first");
    // The editor left the cell as it found it: no step of its own. The table's undo takes
    // back "first", down to the blank the list was loaded with.
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), " ");
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), "first");
    ASSERT_TRUE(savedAs(afterFirst));

    // A command from the menu while the editor is open is a step between the typing before
    // it and the typing after it.
    key(Qt::Key_F2);
    key(Qt::Key_End);
    type("+1");
    actionOf(*window, "addRow").trigger();
    type("+2");
    key(Qt::Key_Return);
    EXPECT_EQ(t.cell(1, 2), "first+1+2");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), "first+1");
    EXPECT_EQ(t.rowCount(), 7);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.rowCount(), 6);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), "first");
    ASSERT_TRUE(savedAs(afterFirst));

    // Another program writes the list: taken in, and nothing of before it can be undone.
    QByteArray other = afterFirst;
    other.replace("first", "from the phone");
    f.writeList(other);
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.cell(1, 2) == "from the phone"; }, 5000));
    EXPECT_FALSE(undo.isEnabled());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), "from the phone");
}

// Folded to its bar, the window shows no list: Ctrl+Z and Ctrl+Y wait for the full window
// rather than change the list out of sight.
TEST_F(UndoJourney, whileTheWindowIsFolded_undoAndRedoChangeNothing) {
    TaskTable& t = tableOf(*window);
    QAction& undo = actionOf(*window, "undo");
    click(1, 2);
    type("seen");
    key(Qt::Key_Return);
    ASSERT_TRUE(undo.isEnabled());

    key(Qt::Key_Escape);  // folds
    ASSERT_TRUE(QTest::qWaitFor([&] { return isFolded(*window); }, 3000));
    EXPECT_FALSE(undo.isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), "seen");

    QTest::mouseClick(&redBarOf(*window), Qt::LeftButton, {}, QPoint(15, 50));
    ASSERT_TRUE(QTest::qWaitFor([&] { return isFull(*window, 370); }, 3000));
    EXPECT_TRUE(undo.isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), " ");

    QTest::mouseClick(&redBarOf(*window), Qt::LeftButton, {}, QPoint(15, 50));
    ASSERT_TRUE(QTest::qWaitFor([&] { return isFolded(*window); }, 3000));
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(t.cell(1, 2), " ");
}

// A row deleted far below the part of the list in view comes back into view when the deletion
// is undone.
TEST_F(UndoJourney, undoingARowsDeletion_bringsTheRestoredRowIntoView) {
    TaskTable& t = tableOf(*window);
    for (int i = 0; i < 20; ++i) {
        actionOf(*window, "addRow").trigger();
    }
    const int last = t.rowCount() - 1;
    click(1, 1);  // the view at the top of the list
    const auto inView = [&](int row) {
        return grid().viewport()->rect().contains(grid().cellRect(1, row).center());
    };
    ASSERT_FALSE(inView(last));
    actionOf(*window, "deleteRow").trigger();
    ASSERT_EQ(t.rowCount(), last);
    ASSERT_FALSE(grid().isEditing());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(t.rowCount(), last + 1);
    EXPECT_TRUE(inView(last));
}
