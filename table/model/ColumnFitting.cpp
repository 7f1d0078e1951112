#include "table/model/ColumnFitting.h"

#include "table/model/TaskTable.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <utility>

namespace taskwick {

int availableColumnWidth(int tableWidth, int colCount, bool gridLines) {
    return gridLines ? tableWidth - colCount - 2 : tableWidth - 2;
}

std::vector<int> fitColumnWidths(std::vector<int> widths, int tableWidth, bool gridLines) {
    if (widths.empty()) {
        return widths;
    }
    const auto count = static_cast<int>(std::min<std::size_t>(
        widths.size(), static_cast<std::size_t>(std::numeric_limits<int>::max())));
    // 64-bit sums: widths come from a file the user may have edited.
    const std::int64_t available = availableColumnWidth(tableWidth, count, gridLines);
    const std::int64_t sum = std::accumulate(widths.begin(), widths.end(), std::int64_t{0});
    int& adjusted = widths[widths.size() >= 2 ? 1 : 0];
    const std::int64_t fitted = std::int64_t{adjusted} + (available - sum);
    adjusted = static_cast<int>(std::clamp<std::int64_t>(fitted, std::numeric_limits<int>::min(),
                                                         std::numeric_limits<int>::max()));
    for (int& width : widths) {
        width = std::max(width, MinFittedColumnWidth);
    }
    return widths;
}

void fitTableColumns(TaskTable& table, int tableWidth) {
    std::vector<int> widths;
    widths.reserve(static_cast<std::size_t>(table.colCount()));
    for (int col = 0; col < table.colCount(); ++col) {
        widths.push_back(table.columnWidth(col));
    }
    widths = fitColumnWidths(std::move(widths), tableWidth, table.drawGridLines());
    for (int col = 0; col < table.colCount(); ++col) {
        table.setColumnWidth(col, widths[static_cast<std::size_t>(col)]);
    }
}

}  // namespace taskwick
