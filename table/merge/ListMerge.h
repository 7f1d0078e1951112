#pragma once

#include "table/model/TaskTable.h"

#include <QString>

#include <vector>

namespace taskwick {

// Between the two texts of a cell that both sides changed, each in its own way.
inline const QString ConflictSeparator = QStringLiteral(" | ");

// What a merge did, for the notice that tells the user.
struct MergeOutcome {
    int cellsTaken = 0;              // cells that took the other side's text
    std::vector<CellPos> conflicts;  // cells that now hold both texts, ours first
    // Cells whose text of ours came back from the other side joined with another text (a
    // merge made there): our words are in them, but not alone anymore.
    std::vector<CellPos> joined;
    bool keptRowsOrColumns = false;  // the other side's smaller count would have dropped text

    bool changedOurs() const { return cellsTaken > 0 || !conflicts.empty(); }
};

// The merge of two versions of the list, `ours` and `theirs`, against `base`, the version
// both last shared. Cell by cell: a text changed on one side only is that side's; changed on
// both to the same text, that text; changed to different texts, both stay in the cell, ours
// first (one of them blank: the other). Captions, widths, alignments and the two display
// flags go field by field: one side's change wins, ours when both changed. Rows and columns
// come and go only at the end: the count one side changed wins, the other's when both did,
// but never below a row or column that holds text. A cell that holds only blanks is empty.
// `result` receives the merged content (its current cell and fixed caption row stay).
MergeOutcome mergeLists(const TaskTable& base, const TaskTable& ours, const TaskTable& theirs,
                        TaskTable& result);

// One task cell merged by the same rule; `conflict` tells whether both texts stay.
QString mergedCellText(const QString& base, const QString& ours, const QString& theirs,
                       bool* conflict = nullptr);

// How many cells and settings two versions differ in: the version of those known that lies
// closest to another one is taken as their shared base.
long long listDistance(const TaskTable& a, const TaskTable& b);

// True when the two versions hold the same list: texts (blanks alike), counts, widths,
// alignments and flags.
bool sameList(const TaskTable& a, const TaskTable& b);

}  // namespace taskwick
