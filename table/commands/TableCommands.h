#pragma once

#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"
#include "texts/Texts.h"

#include <QString>

#include <functional>

namespace taskwick {

// The texts of a row's or column's non-blank cells, trimmed and joined with ", ", in column
// (or row) order. Blank cells are left out, so an empty result means nothing would be lost.
QString rowContentList(const TaskTable& table, int row);
QString columnContentList(const TaskTable& table, int col);

// The commands that change the shape and the look of the task table. The menu and the frame's
// +/- buttons reach them through the main window; the commands themselves know nothing of
// widgets: the window hands in its yes/no question box and its column-width fitting.
//
// Delete commands remove the last row or column, never the current one. None of the
// commands enforces the menu's limits (100 rows, 100 columns): the frame buttons run them
// without limits.
class TableCommands {
public:
    // Returns true only for the answer Yes.
    using AskYesNo = std::function<bool(const QString& text, const QString& title)>;
    using FitColumns = std::function<void()>;

    TableCommands(TaskTable& table, CurrentCell& current, Language language, AskYesNo askYesNo,
                  FitColumns fitColumns);

    void addRow();
    // Asks before throwing away any text of the last row; returns false when the user declined.
    // At one row left, row 0 itself is emptied and the count stays 1.
    bool deleteLastRow();
    // Halves the last column to make room for the new one, then fits all widths to the table.
    void addColumn();
    // Asks before throwing away any text of the last column, caption first; returns false when
    // the user declined. At one column left, that column is emptied and the count stays 1.
    bool deleteLastColumn();
    // Sets the alignment of the current cell's column; false (nothing changed) without one.
    bool alignCurrentColumn(Alignment alignment);
    void toggleCaptionsBold();
    void toggleGridLines();
    // Makes the captions editable; the table moves to its top-left cell but opens no editor.
    void startCaptionEditing();

private:
    // Empty content needs no question; otherwise the user decides.
    bool confirmed(const QString& question, const QString& content) const;

    TaskTable& table_;
    CurrentCell& current_;
    const Texts& texts_;
    AskYesNo askYesNo_;
    FitColumns fitColumns_;
};

}  // namespace taskwick
