#include "table/history/TableHistory.h"

#include <QAction>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace taskwick;

namespace {

struct History {
    TaskTable table;
    CurrentCell current{table};
    QAction undo;
    QAction redo;
    TableHistory history{table, current};

    // Ctrl+Z and Ctrl+Y as the window offers them: enabled while the history says they can be.
    History() {
        undo.setEnabled(false);
        redo.setEnabled(false);
        QObject::connect(&history, &TableHistory::canUndoChanged, &undo, &QAction::setEnabled);
        QObject::connect(&history, &TableHistory::canRedoChanged, &redo, &QAction::setEnabled);
        QObject::connect(&undo, &QAction::triggered, &history, &TableHistory::undo);
        QObject::connect(&redo, &QAction::triggered, &history, &TableHistory::redo);
    }

    void setAsStep(int col, int row, const QString& text) {
        history.record([&] { table.setCell(col, row, text); });
    }
    // How many steps Ctrl+Z can take back.
    int undoAll() {
        int steps = 0;
        while (undo.isEnabled()) {
            undo.trigger();
            ++steps;
        }
        return steps;
    }
};

}  // namespace

TEST(TableHistory, keepsTheLatestThousandSteps_andFewerWhenTheyHoldMuchText) {
    History h;
    for (int i = 1; i <= 1005; ++i) {
        h.setAsStep(1, 1, QString::number(i));
    }
    EXPECT_EQ(h.undoAll(), 1000);
    EXPECT_EQ(h.table.cell(1, 1), "5");

    // 16 million characters hold five steps of three million; the oldest go first.
    const QString threeMillion(3'000'000, QLatin1Char('x'));
    for (int row = 1; row <= 8; ++row) {
        h.setAsStep(0, row, threeMillion);
    }
    EXPECT_EQ(h.undoAll(), 5);
    EXPECT_EQ(h.table.cell(0, 3), threeMillion);
    EXPECT_EQ(h.table.cell(0, 4), "");

    // A step larger than that alone stays.
    h.setAsStep(0, 1, QString(20'000'000, QLatin1Char('y')));
    EXPECT_FALSE(h.redo.isEnabled());
    EXPECT_EQ(h.undoAll(), 1);
    EXPECT_EQ(h.table.cell(0, 1), threeMillion);
}

TEST(TableHistory, aNewStepEndsTheStepsThatCouldBeRedone) {
    History h;
    h.setAsStep(0, 1, "a");
    h.setAsStep(0, 2, "b");
    h.undo.trigger();
    h.setAsStep(0, 3, "c");
    EXPECT_FALSE(h.redo.isEnabled());
    // Back through what was done: c, then a; "b" was undone already.
    EXPECT_EQ(h.undoAll(), 2);
    EXPECT_EQ(h.table.cell(0, 1), "");
}

// A step that changed the table's shape is shown where the rows or columns came back: the first
// of them becomes the current cell, in the current cell's column or row, so the view scrolls to
// it. Undoing a step that added them shows the cell that was current before it.
TEST(TableHistory, rowsAndColumnsThatComeBack_bringTheirFirstCellIntoView) {
    struct Case {
        const char* step;
        std::function<void(TaskTable&)> change;
        CellPos currentBefore;
        CellPos shownByUndo;
        CellPos shownByRedo;
    };
    const std::vector<Case> cases{
        {"last row deleted",
         [](TaskTable& t) { t.setRowCount(t.rowCount() - 1); },
         {2, 1},
         {2, 29},
         {2, 1}},
        {"two rows deleted",
         [](TaskTable& t) { t.setRowCount(t.rowCount() - 2); },
         {0, 3},
         {0, 28},
         {0, 3}},
        {"last column deleted",
         [](TaskTable& t) { t.setColCount(t.colCount() - 1); },
         {0, 4},
         {11, 4},
         {0, 4}},
        {"row added",
         [](TaskTable& t) { t.setRowCount(t.rowCount() + 1); },
         {1, 2},
         {1, 2},
         {1, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        History h;
        h.table.setShape(30, 12);
        h.current.set(c.currentBefore);
        h.history.record([&] { c.change(h.table); });
        h.undo.trigger();
        EXPECT_EQ(h.current.cell(), c.shownByUndo);
        h.redo.trigger();
        EXPECT_EQ(h.current.cell(), c.shownByRedo);
    }
}
