#pragma once

#include "table/model/TaskTable.h"

#include <QObject>

#include <optional>

namespace taskwick {

// The cell the user is at: state of the view, not of the list. The grid moves it, the commands
// that act on a cell read it, the history shows a step's cell with it. Its moves are no changes
// of the table, so that a move of the cursor neither counts as an edit nor sets off a save.
//
// It follows the table: a cell that leaves the table with its row or column is current no
// more.
class CurrentCell : public QObject {
    Q_OBJECT
public:
    // The table must outlive this.
    explicit CurrentCell(const TaskTable& table, QObject* parent = nullptr);

    std::optional<CellPos> cell() const { return cell_; }
    void set(CellPos cell);
    void clear();

signals:
    void changed();

private:
    void followTable();

    const TaskTable& table_;
    std::optional<CellPos> cell_;
};

}  // namespace taskwick
