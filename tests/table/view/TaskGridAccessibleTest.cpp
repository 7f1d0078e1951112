// The task grid as a screen reader sees it: only through Qt's accessibility (the interfaces
// QAccessible hands out), never through the grid's own functions.
//
// The offscreen platform has no accessibility bridge: QAccessible::isActive() stays false there
// and QAccessible::updateAccessibility drops every event, so what a reader is told is seen here
// in what it reads next; the end-to-end test reads the real program over the AT-SPI bus.

#include "table/view/TaskGrid.h"
#include "tests/support/GridCommands.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using taskwick::CellPos;
using taskwick::GridCommands;
using taskwick::TaskGrid;
using taskwick::TaskTable;

namespace {

class TaskGridAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.appendToRow(0, "Prio");
        table.appendToRow(0, "Task");
        table.appendToRow(0, "Time");
        grid = std::make_unique<TaskGrid>(table, current);
        commands = std::make_unique<GridCommands>(*grid);
        grid->resize(400, 250);
        grid->show();
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
        grid->setFocus();
        QApplication::processEvents();
    }

    QAccessibleInterface* accessible() const {
        return QAccessible::queryAccessibleInterface(grid.get());
    }
    QAccessibleTableInterface* tableOf() const { return accessible()->tableInterface(); }
    QAccessibleInterface* cell(int row, int col) const { return tableOf()->cellAt(row, col); }
    QString name(int row, int col) const { return cell(row, col)->text(QAccessible::Name); }

    QWidget* keyTarget() const {
        QWidget* focus = QApplication::focusWidget();
        return focus != nullptr ? focus : grid.get();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(keyTarget(), k, modifiers);
    }
    // One key at a time, as typing comes: the first one opens the editor, which then has the
    // focus for the rest.
    void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClicks(keyTarget(), QString(c));
        }
    }
    void click(int col, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(col, row).center());
    }

    TaskTable table;
    taskwick::CurrentCell current{table};
    std::unique_ptr<TaskGrid> grid;
    std::unique_ptr<GridCommands> commands;
};

TEST_F(TaskGridAccessibleTest, grid_isATableOfTheModelsRowsAndColumns_captionsFirst) {
    QAccessibleInterface* iface = accessible();
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    ASSERT_NE(iface->tableInterface(), nullptr);
    // The first-run table: the caption row and five task rows, three columns.
    EXPECT_EQ(tableOf()->rowCount(), 6);
    EXPECT_EQ(tableOf()->columnCount(), 3);
    EXPECT_EQ(iface->childCount(), 18);
    EXPECT_EQ(cell(0, 1)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(cell(1, 1)->role(), QAccessible::Cell);

    // Children run row by row, and each knows its place and its table.
    QAccessibleInterface* fourth = iface->child(4);
    EXPECT_EQ(fourth, cell(1, 1));
    EXPECT_EQ(iface->indexOfChild(fourth), 4);
    EXPECT_EQ(iface->indexOfChild(cell(5, 2)), 17);
    EXPECT_EQ(fourth->parent(), iface);
    ASSERT_NE(fourth->tableCellInterface(), nullptr);
    EXPECT_EQ(fourth->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(fourth->tableCellInterface()->columnIndex(), 1);
    EXPECT_EQ(fourth->tableCellInterface()->table(), iface);
    EXPECT_EQ(iface->child(18), nullptr);
    EXPECT_EQ(iface->child(-1), nullptr);
    EXPECT_EQ(cell(6, 0), nullptr);
    EXPECT_EQ(cell(0, 3), nullptr);

    // Task cells are edited in place; the caption row only during caption editing.
    EXPECT_TRUE(cell(1, 1)->state().editable);
    EXPECT_FALSE(cell(0, 1)->state().editable);
    table.setCaptionsFixed(false);
    EXPECT_TRUE(cell(0, 1)->state().editable);
}

TEST_F(TaskGridAccessibleTest, captionsAndCellTexts_readAsStored_blankOnesReadEmpty) {
    EXPECT_EQ(tableOf()->columnDescription(0), "Prio");
    EXPECT_EQ(tableOf()->columnDescription(1), "Task");
    EXPECT_EQ(tableOf()->columnDescription(2), "Time");
    EXPECT_EQ(tableOf()->columnDescription(3), "");
    // Every cell names the caption above it; AT-SPI asks the cell of row 0 for the header of
    // its column, so a caption is its own header.
    const QList<QAccessibleInterface*> headers =
        cell(3, 2)->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers.first(), cell(0, 2));
    EXPECT_EQ(headers.first()->text(QAccessible::Name), "Time");
    EXPECT_EQ(cell(0, 1)->tableCellInterface()->columnHeaderCells(),
              QList<QAccessibleInterface*>{cell(0, 1)});

    table.setCell(1, 2, "Buy Br\u00F6tchen & coffee");
    table.setCell(2, 2, "   ");
    EXPECT_EQ(name(2, 1), QString("Buy Br\u00F6tchen & coffee"));
    EXPECT_EQ(name(2, 2), "");
    // A cell the reader holds reads the text of now, not of when it was made.
    QAccessibleInterface* held = cell(4, 1);
    table.setCell(1, 4, "later");
    EXPECT_EQ(held->text(QAccessible::Name), "later");
    table.setCell(2, 0, " ");
    EXPECT_EQ(tableOf()->columnDescription(2), "");
}

TEST_F(TaskGridAccessibleTest, typingIntoACell_theReaderReadsEveryKeystroke) {
    click(1, 2);
    // The cell the reader holds from when it became current reads each keystroke as it lands.
    QAccessibleInterface* held = cell(2, 1);
    std::vector<QString> names;
    for (const QChar c : QString("Milk")) {
        type(c);
        names.push_back(held->text(QAccessible::Name));
    }
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(names, (std::vector<QString>{"M", "Mi", "Mil", "Milk"}));

    // Meanwhile the editor has the focus and speaks as the line edit it is.
    QAccessibleInterface* editor = accessible()->focusChild();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->object(), grid->editor());
    EXPECT_EQ(editor->text(QAccessible::Value), "Milk");
    EXPECT_FALSE(cell(2, 1)->state().focused);

    // Return ends editing: the cell keeps the text and has the focus again.
    key(Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_FALSE(grid->isEditing());
    EXPECT_TRUE(cell(2, 1)->state().focused);
    EXPECT_EQ(accessible()->focusChild(), cell(2, 1));

    // Delete empties it.
    key(Qt::Key_Delete);
    EXPECT_EQ(held->text(QAccessible::Name), "");
}

TEST_F(TaskGridAccessibleTest, movingTheCurrentCell_movesSelectionAndFocusWithIt) {
    EXPECT_EQ(tableOf()->selectedCellCount(), 0);
    click(1, 2);
    EXPECT_TRUE(cell(2, 1)->tableCellInterface()->isSelected());
    EXPECT_TRUE(cell(2, 1)->state().selected);
    EXPECT_TRUE(cell(2, 1)->state().focused);

    key(Qt::Key_Down);
    ASSERT_EQ(current.cell(), (CellPos{1, 3}));
    EXPECT_FALSE(cell(2, 1)->tableCellInterface()->isSelected());
    EXPECT_FALSE(cell(2, 1)->state().focused);
    EXPECT_TRUE(cell(3, 1)->state().focused);
    EXPECT_EQ(tableOf()->selectedCellCount(), 1);
    EXPECT_EQ(tableOf()->selectedCells(), QList<QAccessibleInterface*>{cell(3, 1)});
    EXPECT_EQ(accessible()->focusChild(), cell(3, 1));
}

TEST_F(TaskGridAccessibleTest, gridRegainingTheFocus_landsTheReaderOnTheCurrentCell) {
    click(0, 4);
    QLineEdit elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_FALSE(cell(4, 0)->state().focused);
    EXPECT_TRUE(cell(4, 0)->state().selected);
    EXPECT_EQ(accessible()->focusChild(), nullptr);

    // Without the focus a move of the current cell moves the selection only.
    current.set(CellPos{0, 5});
    EXPECT_TRUE(cell(5, 0)->state().selected);
    EXPECT_FALSE(cell(5, 0)->state().focused);
    EXPECT_EQ(accessible()->focusChild(), nullptr);

    grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(accessible()->focusChild(), cell(5, 0));
    EXPECT_TRUE(cell(5, 0)->state().focused);
}

TEST_F(TaskGridAccessibleTest, rowsAndColumnsComingAndGoing_areCounted_andGoneCellsDeleted) {
    // A row added through the model: counted, its cells readable.
    table.setRowCount(7);
    table.setCell(1, 6, "New task");
    EXPECT_EQ(tableOf()->rowCount(), 7);
    EXPECT_EQ(accessible()->childCount(), 21);
    EXPECT_EQ(name(6, 1), "New task");

    // Rows going take their cells, the current one and its selection too.
    click(1, 5);
    const QAccessible::Id currentCell = QAccessible::uniqueId(cell(5, 1));
    const QAccessible::Id goneCell = QAccessible::uniqueId(cell(6, 1));
    const QAccessible::Id keptCell = QAccessible::uniqueId(cell(3, 2));
    table.setRowCount(4);
    EXPECT_EQ(tableOf()->rowCount(), 4);
    EXPECT_EQ(accessible()->childCount(), 12);
    EXPECT_EQ(QAccessible::accessibleInterface(goneCell), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(currentCell), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(keptCell), cell(3, 2));
    EXPECT_EQ(tableOf()->selectedCellCount(), 0);

    // Columns: a kept cell's child index follows the new width of a row.
    table.setColCount(5);
    EXPECT_EQ(tableOf()->columnCount(), 5);
    EXPECT_EQ(accessible()->indexOfChild(cell(3, 2)), 3 * 5 + 2);
    table.setColCount(2);
    EXPECT_EQ(QAccessible::accessibleInterface(keptCell), nullptr);
    EXPECT_EQ(accessible()->childCount(), 8);

    // A text kept beyond the table shows again with its row, and the reader reads it.
    table.setRowCount(7);
    EXPECT_EQ(name(6, 1), "New task");
}

TEST_F(TaskGridAccessibleTest, hundredByHundred_cellsAreKept_andShownOnlyInView) {
    table.setRowCount(100);
    table.setColCount(100);
    EXPECT_EQ(accessible()->childCount(), 10000);
    EXPECT_EQ(tableOf()->rowCount(), 100);

    QAccessibleInterface* last = accessible()->child(9999);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->tableCellInterface()->rowIndex(), 99);
    EXPECT_EQ(last->tableCellInterface()->columnIndex(), 99);
    // Asked again, by index or by place, it is the same cell.
    EXPECT_EQ(accessible()->child(9999), last);
    EXPECT_EQ(cell(99, 99), last);

    // Far below and to the right of the view: not showing. The first task cell is.
    EXPECT_TRUE(last->state().invisible);
    EXPECT_FALSE(cell(1, 0)->state().invisible);
    // Scrolled to the end, the caption row stays and the first task rows are gone.
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(cell(99, 99)->state().focused);
    EXPECT_FALSE(cell(99, 99)->state().invisible);
    EXPECT_FALSE(cell(0, 99)->state().invisible);
    EXPECT_TRUE(cell(1, 99)->state().invisible);
}

TEST_F(TaskGridAccessibleTest, readerComingBackLater_readsWhatIsThere) {
    ASSERT_NE(accessible(), nullptr);  // a reader looked once, then went away
    ASSERT_FALSE(QAccessible::isActive());
    click(1, 2);
    type("Tea");
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    table.setRowCount(8);
    EXPECT_EQ(name(2, 1), "Tea");
    EXPECT_EQ(tableOf()->selectedCells(), QList<QAccessibleInterface*>{cell(3, 1)});
    EXPECT_EQ(accessible()->childCount(), 24);
}

TEST_F(TaskGridAccessibleTest, pointAtACell_findsThatCell) {
    const QRect rect = grid->cellRect(2, 3);
    const QPoint centre = grid->viewport()->mapToGlobal(rect.center());
    QAccessibleInterface* found = accessible()->childAt(centre.x(), centre.y());
    EXPECT_EQ(found, cell(3, 2));
    EXPECT_EQ(found->rect(), QRect(grid->viewport()->mapToGlobal(rect.topLeft()), rect.size()));
    // Below the last row there is no cell.
    const QPoint below = grid->viewport()->mapToGlobal(QPoint(5, 6 * 25 + 10));
    EXPECT_EQ(accessible()->childAt(below.x(), below.y()), nullptr);
}

TEST_F(TaskGridAccessibleTest, gridGoing_takesItsCellsWithIt) {
    const QAccessible::Id id = QAccessible::uniqueId(cell(2, 1));
    const QAccessible::Id gridId = QAccessible::uniqueId(accessible());
    ASSERT_NE(QAccessible::accessibleInterface(id), nullptr);
    grid.reset();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(gridId), nullptr);
    // A grid made afterwards starts afresh.
    grid = std::make_unique<TaskGrid>(table, current);
    EXPECT_EQ(name(0, 1), "Task");
}

}  // namespace
