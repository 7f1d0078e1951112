#include "table/model/CellText.h"
#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace taskwick;

TEST(TaskTable, countsNeverBelowOne_andAlignmentsFollowColumnCount) {
    TaskTable t;
    t.setRowCount(0);
    t.setColCount(0);
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.colCount(), 1);
    EXPECT_EQ(t.columnAlignments().size(), 1u);

    // A hostile file cannot make the table take gigabytes, nor a save write them: at most
    // 100,000 rows, 1,000 columns and a million cells, whichever binds first.
    t.setRowCount(2147483647);
    t.setColCount(2147483647);
    EXPECT_EQ(t.rowCount(), 100000);
    EXPECT_EQ(t.colCount(), 10);
    EXPECT_EQ(t.columnAlignments().size(), 10u);
    t.setRowCount(0);
    t.setColCount(2147483647);
    t.setRowCount(2147483647);
    EXPECT_EQ(t.colCount(), 1000);
    EXPECT_EQ(t.rowCount(), 1000);
    t.setRowCount(0);
    t.setColCount(0);

    t.setColumnAlignment(0, Alignment::Right);
    t.setColCount(4);
    ASSERT_EQ(t.columnAlignments().size(), 4u);
    EXPECT_EQ(t.columnAlignment(0), Alignment::Right);
    for (int c = 1; c < 4; ++c) {
        EXPECT_EQ(t.columnAlignment(c), Alignment::Left) << c;
    }
    t.setColCount(2);
    EXPECT_EQ(t.columnAlignments().size(), 2u);
}

TEST(TaskTable, appendToRow_fillsFirstEmptyCell_storesBlankForEmpty_andIgnoresFullRow) {
    TaskTable t;
    t.appendToRow(1, "a");
    t.appendToRow(1, "");
    t.appendToRow(1, "c");
    EXPECT_EQ(t.cell(0, 1), "a");
    EXPECT_EQ(t.cell(1, 1), " ");
    EXPECT_TRUE(isBlank(t.cell(1, 1)));
    EXPECT_FALSE(t.cell(1, 1).isEmpty());
    EXPECT_EQ(t.cell(2, 1), "c");

    t.appendToRow(1, "d");  // full row: nothing changes
    EXPECT_EQ(t.cell(0, 1), "a");
    EXPECT_EQ(t.cell(2, 1), "c");
}

TEST(TaskTable, textsPastTheLastRowStayHiddenAndReappearWhenTheTableGrows) {
    TaskTable t;  // 6 rows
    t.appendToRow(8, "later");
    EXPECT_EQ(t.rowCount(), 6);
    t.setRowCount(9);
    EXPECT_EQ(t.cell(0, 8), "later");

    t.clearRow(8);
    t.setRowCount(6);
    t.setRowCount(9);
    EXPECT_EQ(t.cell(0, 8), "");
}

TEST(TaskTable, clearColumn_emptiesCaptionAndCells_soAReaddedColumnIsEmpty) {
    TaskTable t;
    t.setCell(2, 0, "Time");
    t.setCell(2, 3, "5min");
    t.clearColumn(2);
    t.setColCount(2);
    t.setColCount(3);
    EXPECT_EQ(t.cell(2, 0), "");
    EXPECT_EQ(t.cell(2, 3), "");
}

TEST(TaskTable, copiesShareTextsUntilEitherChanges_andEqualTextsCanBeSharedAfterwards) {
    TaskTable original;
    original.setShape(3, 2);
    original.setCell(0, 1, "one");
    original.setCell(1, 1, "two");
    original.setCell(0, 2, "three");
    TaskTable copy;
    copy.takeContentOf(original);
    // A change of either reaches only that table: a known version never changes with the list.
    copy.setCell(1, 1, "TWO");
    copy.clearRow(2);
    original.clearColumn(0);
    original.appendToRow(2, "four");
    EXPECT_EQ(original.cell(1, 1), "two");
    EXPECT_EQ(original.cell(0, 2), "four");
    EXPECT_EQ(copy.cell(0, 1), "one");
    EXPECT_EQ(copy.cell(1, 1), "TWO");
    EXPECT_EQ(copy.cell(0, 2), "");

    // The same list read again: equal texts come to share the copy's, a different one stays.
    TaskTable read;
    read.setShape(3, 2);
    read.setCell(0, 1, QString("on") + "e");
    read.setCell(1, 1, "two");
    QSignalSpy changes(&read, &TaskTable::changed);
    read.shareEqualTexts(copy);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(read.cell(0, 1).constData(), copy.cell(0, 1).constData());
    EXPECT_EQ(read.cell(1, 1), "two");
}

TEST(TaskTable, captionsFixedRules) {
    TaskTable t;
    EXPECT_TRUE(t.captionsFixed());
    EXPECT_TRUE(t.setCaptionsFixed(false));
    EXPECT_FALSE(t.captionsFixed());
    EXPECT_TRUE(t.setCaptionsFixed(true));
    EXPECT_TRUE(t.captionsFixed());

    t.setRowCount(1);  // no task row left: the caption row stops being fixed
    EXPECT_FALSE(t.captionsFixed());
    EXPECT_FALSE(t.setCaptionsFixed(true));
    EXPECT_FALSE(t.captionsFixed());
}

TEST(CurrentCell, movesAreNoChangeOfTheList_andACellLeavingTheTableIsCurrentNoMore) {
    TaskTable t;
    CurrentCell current(t);
    QSignalSpy listChanged(&t, &TaskTable::changed);
    QSignalSpy moved(&current, &CurrentCell::changed);
    EXPECT_FALSE(current.cell().has_value());
    current.set({1, 2});
    current.set({1, 2});
    current.clear();
    current.set({2, 5});
    EXPECT_EQ(moved.count(), 3);
    EXPECT_EQ(listChanged.count(), 0);

    t.setColCount(4);
    EXPECT_EQ(current.cell(), (CellPos{2, 5}));
    t.setShape(5, 4);  // the row goes, and the cell with it
    EXPECT_FALSE(current.cell().has_value());
    current.set({2, 4});
    t.setColCount(2);
    EXPECT_FALSE(current.cell().has_value());
    EXPECT_EQ(moved.count(), 6);
}

TEST(TaskTable, changesInsideABatchAreOneChange_andABatchWithoutChangesIsNone) {
    TaskTable t;
    QSignalSpy changed(&t, &TaskTable::changed);
    {
        const TaskTable::ChangeBatch outer(t);
        t.setColCount(100);
        {
            const TaskTable::ChangeBatch inner(t);
            for (int row = 0; row < 100; ++row) {
                t.setCell(row % 100, row, QStringLiteral("task"));
            }
        }
        EXPECT_EQ(changed.count(), 0);  // held until the outermost batch ends
        t.setRowCount(100);
    }
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(t.cell(99, 99), "task");
    {
        const TaskTable::ChangeBatch nothing(t);
        t.setRowCount(100);  // no change
    }
    EXPECT_EQ(changed.count(), 1);
    t.setCell(0, 1, QStringLiteral("after"));
    EXPECT_EQ(changed.count(), 2);  // outside a batch every change is announced again
}

// The journal is what an undo step is told from: every way a text changes must be noted, once
// per cell and with the text from before the first change.
TEST(TaskTable, textJournal_notesEachChangedCellOnceWithItsFirstText) {
    TaskTable t;
    t.setShape(4, 3);
    t.setCell(0, 1, "a");
    t.setCell(1, 1, "b");
    t.setCell(2, 3, "c");
    t.setCell(1, 9, "hidden");  // past the last row
    using Entries = std::vector<std::pair<int, int>>;
    const auto cellsOf = [](const TaskTable::TextJournal& journal) {
        Entries cells;
        for (const auto& entry : journal.entries()) {
            cells.emplace_back(entry.cell.col, entry.cell.row);
        }
        return cells;
    };

    TaskTable::TextJournal journal(t);
    t.setCell(0, 1, "a2");
    t.setCell(0, 1, "a3");  // the first text stays
    t.setCell(0, 2, "");    // empty stays empty: no change
    t.setCell(2, 3, "c");   // the same text: no change
    t.appendToRow(2, "new");
    t.clearRow(1);     // (1, 1) now; (0, 1) again
    t.clearColumn(1);  // the hidden text too
    EXPECT_EQ(cellsOf(journal), (Entries{{0, 1}, {0, 2}, {1, 1}, {1, 9}}));
    EXPECT_EQ(journal.entries()[0].before, "a");
    EXPECT_EQ(journal.entries()[1].before, "");
    EXPECT_EQ(journal.entries()[2].before, "b");
    EXPECT_EQ(journal.entries()[3].before, "hidden");

    TaskTable other;
    other.setShape(4, 3);
    other.setCell(2, 3, "c");
    other.setCell(2, 2, "d");
    TaskTable::TextJournal whole(t);
    t.takeContentOf(other);  // only the texts that differ
    EXPECT_EQ(cellsOf(whole), (Entries{{0, 2}, {2, 2}}));
    EXPECT_EQ(whole.entries()[0].before, "new");
    EXPECT_EQ(whole.entries()[1].before, "");
    EXPECT_EQ(cellsOf(journal).size(), 5u);  // two journals at once, each with its own start
}

// A window goes before its history, with a step open when an editor was: the journal then
// outlives its table (the sanitizers see a use after free otherwise).
TEST(TaskTable, textJournal_mayOutliveItsTable) {
    auto table = std::make_unique<TaskTable>();
    TaskTable::TextJournal journal(*table);
    table->setCell(0, 1, "x");
    table.reset();
    ASSERT_EQ(journal.entries().size(), 1u);
    EXPECT_EQ(journal.entries()[0].before, "");
}

TEST(TaskTable, firstRunDefaults) {
    TaskTable t;
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.colCount(), 3);
    EXPECT_EQ(t.columnWidth(0), 50);
    EXPECT_EQ(t.columnWidth(1), 235);
    EXPECT_EQ(t.columnWidth(2), 45);
    EXPECT_FALSE(t.captionsBold());
    EXPECT_TRUE(t.drawGridLines());
    EXPECT_EQ(t.gridLineWidth(), 1);
    t.setDrawGridLines(false);
    EXPECT_EQ(t.gridLineWidth(), 0);
}

TEST(CellText, pastedText_breaksBecomeSpacesAndOnlyTheEndIsTrimmed) {
    EXPECT_EQ(pastedCellText("a\r\nb"), "a b");  // CR LF is one break
    EXPECT_EQ(pastedCellText("a\nb\rc"), "a b c");
    EXPECT_EQ(pastedCellText("a\n\rb\r\r\nc"), "a  b  c");  // LF CR is two
    EXPECT_EQ(pastedCellText("  lead\t\x01 \r\n"), "  lead");
    EXPECT_EQ(pastedCellText("in\tside"), "in\tside");
    EXPECT_EQ(pastedCellText("\r\n"), "");
    EXPECT_EQ(pastedCellText(""), "");
    EXPECT_EQ(pastedCellText(QString::fromUtf8("tr\xC3\xA8s\xC2\xA0")),
              QString::fromUtf8("tr\xC3\xA8s\xC2\xA0"));  // U+00A0 is above U+0020
}

TEST(CellText, visiblePart_keepsTheSideTheTextIsAlignedTo) {
    const QString longText = QString(100, 'a') + QString(1000, 'b') + QString(100, 'c');
    EXPECT_EQ(visibleCellText("short", 10, TextSide::Left), "short");
    EXPECT_EQ(visibleCellText(longText, 0, TextSide::Left), QString(64, 'a'));
    EXPECT_EQ(visibleCellText(longText, 100, TextSide::Left).size(), 264);
    EXPECT_TRUE(visibleCellText(longText, 100, TextSide::Left).startsWith(QString(100, 'a')));
    EXPECT_TRUE(visibleCellText(longText, 100, TextSide::Right).endsWith(QString(100, 'c')));
    // A centred text is kept whole while it is short enough to lay out exactly.
    EXPECT_EQ(visibleCellText(longText, 100, TextSide::Middle), longText);
    const QString huge = QString(20000, 'a') + QString(1000, 'b') + QString(20000, 'c');
    EXPECT_EQ(visibleCellText(huge, 100, TextSide::Middle), QString(264, 'b'));
}
