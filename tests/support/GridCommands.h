#pragma once

#include "app/menu/CommandActions.h"
#include "app/menu/CommandTable.h"
#include "table/view/TaskGrid.h"

#include <QAction>

namespace taskwick {

// The grid's key commands as the window gives them: the actions of the command table's rows
// with keys, but for the history's, running their work on this grid, which stands for the
// window too.
class GridCommands {
public:
    explicit GridCommands(TaskGrid& grid)
        : actions_(grid.table(), grid.currentCell(), Language::English) {
        targets_.grid = &grid;
        for (const CommandRow& row : commandTable()) {
            if (row.keys.empty() || row.history == HistoryRole::Travel) {
                continue;
            }
            grid.addAction(actions_.action(row.id));
            QObject::connect(actions_.action(row.id), &QAction::triggered, &grid,
                             [this, &row] { runCommand(row, targets_); });
        }
    }

private:
    CommandActions actions_;
    CommandTargets targets_;
};

}  // namespace taskwick
