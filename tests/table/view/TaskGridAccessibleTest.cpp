// The task grid as a screen reader sees it: only through Qt's accessibility (the interfaces
// QAccessible hands out and the events the grid sends), never through the grid's own functions.
//
// The offscreen platform has no accessibility bridge: QAccessible::isActive() stays false there
// (QAccessible::setActive only informs Qt's own observers), and QAccessible::updateAccessibility
// drops every event before an update handler could see it. The events are therefore heard
// through the grid's own listener, which gets each event just before Qt does.

#include "table/view/TaskGrid.h"
#include "table/view/TaskGridAccessible.h"
#include "tests/support/GridCommands.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

using taskwick::CellPos;
using taskwick::setTaskGridEventListener;
using taskwick::TaskGrid;
using taskwick::taskGridCellAccessibleCount;
using taskwick::GridCommands;
using taskwick::TaskGridEventListener;
using taskwick::TaskTable;

namespace {

// One event as a reader gets it, resolved when it came.
struct Heard {
    QAccessible::Event type = QAccessible::InvalidEvent;
    QObject* object = nullptr;
    std::optional<CellPos> cell;  // the cell the event is about
    QString name;                 // that cell's name when the event came
    QAccessibleTableModelChangeEvent::ModelChangeType change{};
    int firstRow = -1, lastRow = -1, firstCol = -1, lastCol = -1;
};

std::vector<Heard> heard;

void listen(QAccessibleEvent* event) {
    Heard h;
    h.type = event->type();
    h.object = event->object();
    if (event->type() == QAccessible::TableModelChanged) {
        const auto* change = static_cast<QAccessibleTableModelChangeEvent*>(event);
        h.change = change->modelChangeType();
        h.firstRow = change->firstRow();
        h.lastRow = change->lastRow();
        h.firstCol = change->firstColumn();
        h.lastCol = change->lastColumn();
    } else if (event->child() >= 0) {
        // What a bridge does with the event: it asks for the interface the event is about.
        QAccessibleInterface* about = event->accessibleInterface();
        if (about != nullptr && about->tableCellInterface() != nullptr) {
            h.cell = CellPos{about->tableCellInterface()->columnIndex(),
                             about->tableCellInterface()->rowIndex()};
            h.name = about->text(QAccessible::Name);
        }
    }
    heard.push_back(h);
}

class TaskGridAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousListener = setTaskGridEventListener(listen);

        table.appendToRow(0, "Prio");
        table.appendToRow(0, "Task");
        table.appendToRow(0, "Time");
        grid = std::make_unique<TaskGrid>(table);
        commands = std::make_unique<GridCommands>(*grid);
        grid->resize(400, 250);
        grid->show();
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
        grid->setFocus();
        QApplication::processEvents();
        heard.clear();
    }

    void TearDown() override {
        grid.reset();
        setTaskGridEventListener(previousListener);
        heard.clear();
    }

    QAccessibleInterface* accessible() const {
        return QAccessible::queryAccessibleInterface(grid.get());
    }
    QAccessibleTableInterface* tableOf() const { return accessible()->tableInterface(); }
    QAccessibleInterface* cell(int row, int col) const { return tableOf()->cellAt(row, col); }
    QString name(int row, int col) const { return cell(row, col)->text(QAccessible::Name); }
    int cellsMade() const { return taskGridCellAccessibleCount(*grid); }

    // Events of the given type about the grid or one of its cells, in order.
    std::vector<Heard> heardAbout(QAccessible::Event type) const {
        std::vector<Heard> found;
        for (const Heard& h : heard) {
            if (h.type == type && h.object == grid.get()) {
                found.push_back(h);
            }
        }
        return found;
    }

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

    TaskGridEventListener previousListener = nullptr;
    TaskTable table;
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

TEST_F(TaskGridAccessibleTest, typingIntoACell_theReaderIsToldOfEveryKeystroke_andReadsTheText) {
    click(1, 2);
    type("Milk");
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(name(2, 1), "Milk");

    // The cell was made when it became current (the reader was told of it then); from there
    // on every keystroke renames it.
    std::vector<QString> names;
    for (const Heard& h : heardAbout(QAccessible::NameChanged)) {
        ASSERT_TRUE(h.cell.has_value());
        EXPECT_EQ(*h.cell, (CellPos{1, 2}));
        names.push_back(h.name);
    }
    EXPECT_EQ(names, (std::vector<QString>{"M", "Mi", "Mil", "Milk"}));
    const std::vector<Heard> data = heardAbout(QAccessible::TableModelChanged);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.back().change, QAccessibleTableModelChangeEvent::DataChanged);
    EXPECT_EQ(data.back().firstRow, 2);
    EXPECT_EQ(data.back().lastRow, 2);
    EXPECT_EQ(data.back().firstCol, 1);
    EXPECT_EQ(data.back().lastCol, 1);

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

    // Delete empties it, and the reader hears that once; a change of a column's width alone
    // tells nothing of names.
    heard.clear();
    key(Qt::Key_Delete);
    table.setColumnWidth(1, 120);
    const std::vector<Heard> emptied = heardAbout(QAccessible::NameChanged);
    ASSERT_EQ(emptied.size(), 1u);
    EXPECT_EQ(*emptied.front().cell, (CellPos{1, 2}));
    EXPECT_EQ(emptied.front().name, "");
}

TEST_F(TaskGridAccessibleTest, movingTheCurrentCell_movesSelectionAndFocusWithIt) {
    EXPECT_EQ(tableOf()->selectedCellCount(), 0);
    click(1, 2);
    EXPECT_TRUE(cell(2, 1)->tableCellInterface()->isSelected());
    EXPECT_TRUE(cell(2, 1)->state().selected);
    EXPECT_TRUE(cell(2, 1)->state().focused);
    heard.clear();

    key(Qt::Key_Down);
    ASSERT_EQ(table.currentCell(), (CellPos{1, 3}));
    const std::vector<Heard> removed = heardAbout(QAccessible::SelectionRemove);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(*removed.front().cell, (CellPos{1, 2}));
    const std::vector<Heard> added = heardAbout(QAccessible::SelectionAdd);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(*added.front().cell, (CellPos{1, 3}));
    const std::vector<Heard> focus = heardAbout(QAccessible::Focus);
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(*focus.front().cell, (CellPos{1, 3}));

    EXPECT_FALSE(cell(2, 1)->tableCellInterface()->isSelected());
    EXPECT_FALSE(cell(2, 1)->state().focused);
    EXPECT_TRUE(cell(3, 1)->state().focused);
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
    heard.clear();
    table.setCurrentCell(CellPos{0, 5});
    EXPECT_EQ(heardAbout(QAccessible::SelectionAdd).size(), 1u);
    EXPECT_TRUE(heardAbout(QAccessible::Focus).empty());

    heard.clear();
    grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    grid->setFocus();
    QApplication::processEvents();
    // Qt announces the grid; the current cell comes after it, so that is where the reader is.
    const std::vector<Heard> focus = heardAbout(QAccessible::Focus);
    ASSERT_EQ(focus.size(), 1u);
    EXPECT_EQ(*focus.front().cell, (CellPos{0, 5}));
    EXPECT_TRUE(cell(5, 0)->state().focused);
}

TEST_F(TaskGridAccessibleTest, rowsAndColumnsComingAndGoing_areCounted_andGoneCellsDeleted) {
    // A row added through the model: counted, announced, its cells readable.
    table.setRowCount(7);
    table.setCell(1, 6, "New task");
    EXPECT_EQ(tableOf()->rowCount(), 7);
    EXPECT_EQ(accessible()->childCount(), 21);
    EXPECT_EQ(name(6, 1), "New task");
    std::vector<Heard> changes = heardAbout(QAccessible::TableModelChanged);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.front().change, QAccessibleTableModelChangeEvent::RowsInserted);
    EXPECT_EQ(changes.front().firstRow, 6);
    EXPECT_EQ(changes.front().lastRow, 6);
    EXPECT_EQ(changes.front().lastCol, 2);

    // Rows going take their cells, the current one and its selection too.
    click(1, 5);
    const QAccessible::Id goneCell = QAccessible::uniqueId(cell(6, 1));
    const QAccessible::Id keptCell = QAccessible::uniqueId(cell(3, 2));
    ASSERT_EQ(cellsMade(), 3);
    heard.clear();
    table.setRowCount(4);
    EXPECT_EQ(tableOf()->rowCount(), 4);
    EXPECT_EQ(accessible()->childCount(), 12);
    EXPECT_EQ(QAccessible::accessibleInterface(goneCell), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(keptCell), cell(3, 2));
    EXPECT_EQ(cellsMade(), 1);
    EXPECT_EQ(tableOf()->selectedCellCount(), 0);
    changes = heardAbout(QAccessible::TableModelChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].change, QAccessibleTableModelChangeEvent::RowsRemoved);
    EXPECT_EQ(changes[0].firstRow, 4);
    EXPECT_EQ(changes[0].lastRow, 6);
    for (const Heard& h : heard) {
        EXPECT_FALSE(h.cell.has_value());  // nothing is said of cells that are gone
    }

    // Columns: a kept cell's child index follows the new width of a row.
    heard.clear();
    table.setColCount(5);
    changes = heardAbout(QAccessible::TableModelChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].change, QAccessibleTableModelChangeEvent::ColumnsInserted);
    EXPECT_EQ(changes[0].firstCol, 3);
    EXPECT_EQ(changes[0].lastCol, 4);
    EXPECT_EQ(accessible()->indexOfChild(cell(3, 2)), 3 * 5 + 2);
    heard.clear();
    table.setColCount(2);
    EXPECT_EQ(QAccessible::accessibleInterface(keptCell), nullptr);
    EXPECT_EQ(cellsMade(), 0);
    changes = heardAbout(QAccessible::TableModelChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].change, QAccessibleTableModelChangeEvent::ColumnsRemoved);
    EXPECT_EQ(changes[0].firstCol, 2);
    EXPECT_EQ(changes[0].lastCol, 4);

    // A text kept beyond the table shows again with its row, and the reader reads it.
    table.setRowCount(7);
    EXPECT_EQ(name(6, 1), "New task");
}

TEST_F(TaskGridAccessibleTest, hundredByHundred_cellsAreMadeOnDemand_keptAndShownOnlyInView) {
    table.setRowCount(100);
    table.setColCount(100);
    EXPECT_EQ(accessible()->childCount(), 10000);
    EXPECT_EQ(tableOf()->rowCount(), 100);
    // Counting the cells makes none of them.
    EXPECT_EQ(cellsMade(), 0);

    QAccessibleInterface* last = accessible()->child(9999);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(cellsMade(), 1);
    EXPECT_EQ(last->tableCellInterface()->rowIndex(), 99);
    EXPECT_EQ(last->tableCellInterface()->columnIndex(), 99);
    // Asked again, by index or by place, it is the same cell.
    EXPECT_EQ(accessible()->child(9999), last);
    EXPECT_EQ(cell(99, 99), last);
    EXPECT_EQ(cellsMade(), 1);
    // A reader going along one row pays for that row.
    for (int col = 0; col < 100; ++col) {
        ASSERT_NE(cell(7, col), nullptr);
    }
    EXPECT_EQ(cellsMade(), 101);

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

TEST_F(TaskGridAccessibleTest, nobodyListening_noEventsAndNoCellsMade) {
    ASSERT_NE(accessible(), nullptr);  // a reader looked once, then went away
    setTaskGridEventListener(nullptr);
    ASSERT_FALSE(QAccessible::isActive());
    click(1, 2);
    type("Tea");
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    table.setRowCount(8);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(cellsMade(), 0);
    // Listening again later, the reader reads what is there and hears of new changes only.
    setTaskGridEventListener(listen);
    EXPECT_EQ(name(2, 1), "Tea");
    table.setCell(1, 2, "Tea and cake");
    const std::vector<Heard> names = heardAbout(QAccessible::NameChanged);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names.front().name, "Tea and cake");
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
    grid = std::make_unique<TaskGrid>(table);
    EXPECT_EQ(cellsMade(), 0);
    EXPECT_EQ(name(0, 1), "Task");
}

}  // namespace
