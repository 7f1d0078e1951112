#include "table/merge/ListMerge.h"

#include <algorithm>
#include <optional>

namespace taskwick {

namespace {

// A cell as the version shows it: texts past its counts are not part of the list.
QString shownCell(const TaskTable& table, int col, int row) {
    return col < table.colCount() && row < table.rowCount() ? table.cell(col, row) : QString();
}

bool sameText(const QString& a, const QString& b) {
    return a == b || (isBlank(a) && isBlank(b));
}

// True when `text` is a merge that holds `part` as one of its texts.
bool holdsAsPart(const QString& text, const QString& part) {
    return text.contains(ConflictSeparator) && text.split(ConflictSeparator).contains(part);
}

// One cell of task text: both sides' words stay.
QString mergedTaskText(const QString& base, const QString& ours, const QString& theirs,
                       MergeOutcome& outcome, CellPos cell) {
    if (sameText(ours, theirs) || sameText(theirs, base)) {
        return ours;
    }
    if (sameText(ours, base)) {
        ++outcome.cellsTaken;
        if (!isBlank(ours) && holdsAsPart(theirs, ours)) {
            outcome.joined.push_back(cell);
        }
        return theirs;
    }
    // Both changed it. A side whose text already holds the other's (a merge made before)
    // stands, so that merging the same versions again changes nothing.
    if (holdsAsPart(ours, theirs)) {
        return ours;
    }
    if (holdsAsPart(theirs, ours)) {
        ++outcome.cellsTaken;
        outcome.joined.push_back(cell);
        return theirs;
    }
    // One side that emptied the cell gives way to the other's words.
    if (isBlank(theirs)) {
        return ours;
    }
    if (isBlank(ours)) {
        ++outcome.cellsTaken;
        return theirs;
    }
    outcome.conflicts.push_back(cell);
    return ours + ConflictSeparator + theirs;
}

// A field of which one side's change wins, ours when both changed. A side that lacks the
// field (a column it does not have) has not changed it.
template <class T>
std::optional<T> mergedField(const std::optional<T>& base, const std::optional<T>& ours,
                             const std::optional<T>& theirs) {
    if (!ours || !theirs) {
        return ours ? ours : theirs;
    }
    return base && *ours == *base ? theirs : ours;
}

std::optional<int> widthOf(const TaskTable& table, int col) {
    return col < table.colCount() ? std::optional<int>(table.columnWidth(col)) : std::nullopt;
}

std::optional<Alignment> alignmentOf(const TaskTable& table, int col) {
    return col < table.colCount() ? std::optional<Alignment>(table.columnAlignment(col))
                                  : std::nullopt;
}

// The count one side changed; the other side's when both did.
int mergedCount(int base, int ours, int theirs) {
    return ours == base ? theirs : theirs == base ? ours : theirs;
}

}  // namespace

MergeOutcome mergeLists(const TaskTable& base, const TaskTable& ours, const TaskTable& theirs,
                        TaskTable& result) {
    MergeOutcome outcome;
    const int allRows = std::max({base.rowCount(), ours.rowCount(), theirs.rowCount()});
    const int allCols = std::max({base.colCount(), ours.colCount(), theirs.colCount()});

    std::vector<std::vector<QString>> texts(
        static_cast<std::size_t>(allRows), std::vector<QString>(static_cast<std::size_t>(allCols)));
    int lastRowWithText = 0;
    int lastColWithText = 0;
    for (int row = 0; row < allRows; ++row) {
        for (int col = 0; col < allCols; ++col) {
            const QString b = shownCell(base, col, row);
            const QString o = shownCell(ours, col, row);
            const QString t = shownCell(theirs, col, row);
            QString merged;
            if (row == 0) {
                // A caption is a setting of its column: one side's wins.
                const auto caption = [&](const TaskTable& version, const QString& text) {
                    return col < version.colCount() ? std::optional<QString>(text) : std::nullopt;
                };
                merged = mergedField(caption(base, b), caption(ours, o), caption(theirs, t))
                             .value_or(QString());
                outcome.cellsTaken += !sameText(merged, o) ? 1 : 0;
            } else {
                merged = mergedTaskText(b, o, t, outcome, CellPos{col, row});
            }
            if (row > 0 && !isBlank(merged)) {
                lastRowWithText = std::max(lastRowWithText, row);
                lastColWithText = std::max(lastColWithText, col);
            }
            texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = std::move(merged);
        }
    }

    int rows = mergedCount(base.rowCount(), ours.rowCount(), theirs.rowCount());
    int cols = mergedCount(base.colCount(), ours.colCount(), theirs.colCount());
    if (rows <= lastRowWithText || cols <= lastColWithText) {
        outcome.keptRowsOrColumns = true;
        rows = std::max(rows, lastRowWithText + 1);
        cols = std::max(cols, lastColWithText + 1);
    }

    const TaskTable::ChangeBatch oneChange(result);
    result.setShape(rows, cols);
    for (int row = 0; row < allRows; ++row) {
        for (int col = 0; col < allCols; ++col) {
            result.setCell(col, row,
                           texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)]);
        }
    }
    for (int col = 0; col < result.colCount(); ++col) {
        result.setColumnWidth(
            col, mergedField(widthOf(base, col), widthOf(ours, col), widthOf(theirs, col))
                     .value_or(TaskTable::DefaultColumnWidth));
        result.setColumnAlignment(col, mergedField(alignmentOf(base, col), alignmentOf(ours, col),
                                                   alignmentOf(theirs, col))
                                           .value_or(Alignment::Left));
    }
    result.setCaptionsBold(
        *mergedField<bool>(base.captionsBold(), ours.captionsBold(), theirs.captionsBold()));
    result.setDrawGridLines(
        *mergedField<bool>(base.drawGridLines(), ours.drawGridLines(), theirs.drawGridLines()));
    return outcome;
}

QString mergedCellText(const QString& base, const QString& ours, const QString& theirs,
                       bool* conflict) {
    MergeOutcome outcome;
    QString merged = mergedTaskText(base, ours, theirs, outcome, CellPos{});
    if (conflict) {
        *conflict = !outcome.conflicts.empty();
    }
    return merged;
}

long long listDistance(const TaskTable& a, const TaskTable& b) {
    long long distance = 0;
    const int rows = std::max(a.rowCount(), b.rowCount());
    const int cols = std::max(a.colCount(), b.colCount());
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            distance += sameText(shownCell(a, col, row), shownCell(b, col, row)) ? 0 : 1;
        }
    }
    for (int col = 0; col < cols; ++col) {
        distance += widthOf(a, col) == widthOf(b, col) ? 0 : 1;
        distance += alignmentOf(a, col) == alignmentOf(b, col) ? 0 : 1;
    }
    distance += a.rowCount() == b.rowCount() ? 0 : 1;
    distance += a.captionsBold() == b.captionsBold() ? 0 : 1;
    distance += a.drawGridLines() == b.drawGridLines() ? 0 : 1;
    return distance;
}

bool sameList(const TaskTable& a, const TaskTable& b) {
    return listDistance(a, b) == 0;
}

}  // namespace taskwick
