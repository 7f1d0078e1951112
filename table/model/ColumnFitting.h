#pragma once

#include <vector>

namespace taskwick {

class TaskTable;

// No column is fitted narrower than this, even when the table is too small for all of them;
// the table then scrolls sideways.
inline constexpr int MinFittedColumnWidth = 20;

// Width the columns may share: the table's width less its 2-pixel border, and less one pixel
// per column for the line that follows it while grid lines are shown.
int availableColumnWidth(int tableWidth, int colCount, bool gridLines);

// Fits the column widths to the table: the second column (the only one, in a one-column table)
// takes up the whole difference between the widths' sum and the available width, then every
// column is raised to at least MinFittedColumnWidth. No allowance is made for a vertical
// scroll bar. An empty list is returned unchanged.
std::vector<int> fitColumnWidths(std::vector<int> widths, int tableWidth, bool gridLines);

// Fits the table's own column widths to a table of the given width, with its grid-lines
// setting.
void fitTableColumns(TaskTable& table, int tableWidth);

}  // namespace taskwick
