#include "table/model/CurrentCell.h"

namespace taskwick {

CurrentCell::CurrentCell(const TaskTable& table, QObject* parent) : QObject(parent), table_(table) {
    connect(&table_, &TaskTable::changed, this, &CurrentCell::followTable);
}

void CurrentCell::set(CellPos cell) {
    if (cell_ != cell) {
        cell_ = cell;
        emit changed();
    }
}

void CurrentCell::clear() {
    if (cell_) {
        cell_.reset();
        emit changed();
    }
}

void CurrentCell::followTable() {
    if (cell_ && (cell_->row >= table_.rowCount() || cell_->col >= table_.colCount())) {
        clear();
    }
}

}  // namespace taskwick
