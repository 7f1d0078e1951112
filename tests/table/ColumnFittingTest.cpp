#include "table/model/ColumnFitting.h"

#include "table/model/TaskTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace taskwick {
namespace {

using Widths = std::vector<int>;

TEST(ColumnFitting, availableWidth_leavesBorderAndOneLinePerColumn) {
    EXPECT_EQ(availableColumnWidth(310, 3, true), 305);
    EXPECT_EQ(availableColumnWidth(310, 3, false), 308);
    EXPECT_EQ(availableColumnWidth(310, 1, true), 307);
}

TEST(ColumnFitting, defaultColumns_secondColumnTakesTheDifference) {
    EXPECT_EQ(fitColumnWidths({50, 235, 45}, 310, true), (Widths{50, 210, 45}));
    EXPECT_EQ(fitColumnWidths({50, 235, 45}, 310, false), (Widths{50, 213, 45}));
    // Widening works the same way.
    EXPECT_EQ(fitColumnWidths({50, 100, 45}, 310, true), (Widths{50, 210, 45}));
    // Already fitting: nothing changes.
    EXPECT_EQ(fitColumnWidths({50, 210, 45}, 310, true), (Widths{50, 210, 45}));
}

TEST(ColumnFitting, oneColumn_absorbsEverything) {
    EXPECT_EQ(fitColumnWidths({50}, 310, true), (Widths{307}));
    EXPECT_EQ(fitColumnWidths({500}, 310, false), (Widths{308}));
}

TEST(ColumnFitting, tooNarrowTable_stopsEveryColumnAt20) {
    // Column 1 would be 100 - 3 - 2 - 50 - 45 = 0; the sum then exceeds the table.
    EXPECT_EQ(fitColumnWidths({50, 235, 45}, 100, true), (Widths{50, 20, 45}));
    // Columns that were already narrow are raised as well, in every position.
    EXPECT_EQ(fitColumnWidths({5, 235, 0, -7}, 310, true), (Widths{20, 306, 20, 20}));
    // A table of negative width (window smaller than its frame) still yields real widths.
    EXPECT_EQ(fitColumnWidths({50, 235}, -40, true), (Widths{50, 20}));
}

TEST(ColumnFitting, noColumns_unchanged) {
    EXPECT_TRUE(fitColumnWidths({}, 310, true).empty());
}

TEST(ColumnFitting, hugeStoredWidths_doNotOverflow) {
    const int big = std::numeric_limits<int>::max();
    const Widths fitted = fitColumnWidths({big, big, big}, 310, true);
    EXPECT_EQ(fitted, (Widths{big, 20, big}));
}

TEST(ColumnFitting, tableHelper_usesTheTablesGridLinesSetting) {
    TaskTable table;
    fitTableColumns(table, 310);
    EXPECT_EQ(table.columnWidth(0), 50);
    EXPECT_EQ(table.columnWidth(1), 210);
    EXPECT_EQ(table.columnWidth(2), 45);

    table.setDrawGridLines(false);
    fitTableColumns(table, 310);
    EXPECT_EQ(table.columnWidth(1), 213);
}

}  // namespace
}  // namespace taskwick
