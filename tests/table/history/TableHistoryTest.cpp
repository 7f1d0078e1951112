#include "table/history/TableHistory.h"

#include <QAction>

#include <gtest/gtest.h>

using namespace taskwick;

namespace {

struct History {
    TaskTable table;
    QAction undo;
    QAction redo;
    TableHistory history{table, &undo, &redo};

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
