#include "table/view/TaskGridAccessible.h"

#include "table/view/CellEditor.h"
#include "table/view/TaskGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace taskwick {
namespace {

// What a reader hears for a cell: its text, and nothing for a cell of blanks only (the loader
// keeps an empty cell of the file as a single blank).
QString spokenText(const TaskTable& table, int col, int row) {
    const QString text = table.cell(col, row);
    return isBlank(text) ? QString() : text;
}

bool inTable(const TaskTable& table, CellPos cell) {
    return cell.col >= 0 && cell.row >= 0 && cell.col < table.colCount() &&
           cell.row < table.rowCount();
}

// The current cell when it lies inside the table.
std::optional<CellPos> currentCellIn(const TaskGrid& grid) {
    const auto current = grid.currentCell().cell();
    return current && inTable(grid.table(), *current) ? current : std::nullopt;
}

// Child index of a cell: row by row, the caption row first, as AT-SPI counts the children of a
// table.
int childIndex(const TaskTable& table, CellPos cell) {
    return cell.row * table.colCount() + cell.col;
}

// Whether events are heard at all. Qt's item views ask the same before they build an event:
// building one makes the accessibles it names.
bool eventsHeard() {
    return QAccessible::isActive();
}

void send(QAccessibleEvent& event) {
    QAccessible::updateAccessibility(&event);
}

// Sends an event about one cell of the grid, the way Qt's item views do: the grid as the object,
// the cell as its child.
void sendCellEvent(TaskGrid& grid, QAccessible::Event type, CellPos cell) {
    QAccessibleEvent event(&grid, type);
    event.setChild(childIndex(grid.table(), cell));
    send(event);
}

// One cell of the grid. Made on first demand and kept by the table's accessible until the cell
// leaves the table or the grid goes.
class GridCellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    GridCellAccessible(TaskGrid& grid, CellPos cell)
        : grid_(&grid), cell_(cell), knownText_(spokenText(grid.table(), cell.col, cell.row)) {}

    CellPos cell() const { return cell_; }
    bool belongsTo(const TaskGrid* grid) const { return grid_ == grid; }

    // True once when the text differs from the one last announced.
    bool takeTextChange() {
        const QString now = text(QAccessible::Name);
        if (now == knownText_) {
            return false;
        }
        knownText_ = now;
        return true;
    }

    // QAccessibleInterface
    bool isValid() const override { return grid_ && inTable(grid_->table(), cell_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text type) const override {
        if (type != QAccessible::Name || !isValid()) {
            return {};
        }
        return spokenText(grid_->table(), cell_.col, cell_.row);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid() || !grid_->isVisible()) {
            return {};
        }
        const QRect cell = grid_->cellRect(cell_.col, cell_.row);
        return {grid_->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
    }

    QAccessible::Role role() const override {
        return cell_.row == 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const TaskTable& table = grid_->table();
        // Only cells below the fixed caption row can become current; they are edited in place.
        if (cell_.row >= table.fixedRows()) {
            state.focusable = true;
            state.selectable = true;
            state.editable = true;
        }
        if (isSelected()) {
            state.selected = true;
            state.focused = grid_->hasFocus();
        }
        if (!shown()) {
            state.invisible = true;
            state.offscreen = true;
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    // QAccessibleTableCellInterface
    bool isSelected() const override { return isValid() && grid_->currentCell().cell() == cell_; }
    // The caption above the cell. A caption cell names itself: AT-SPI asks the cell of row 0
    // for the header of its column, and that cell is the header here.
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        QAccessibleInterface* grid = parent();
        if (!isValid() || grid == nullptr || grid->tableInterface() == nullptr) {
            return {};
        }
        QAccessibleInterface* caption = grid->tableInterface()->cellAt(0, cell_.col);
        return caption != nullptr ? QList<QAccessibleInterface*>{caption}
                                  : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return cell_.col; }
    int rowIndex() const override { return cell_.row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    // Inside the viewport and not scrolled away under the fixed caption row.
    bool shown() const {
        if (!grid_->isVisible()) {
            return false;
        }
        const TaskTable& table = grid_->table();
        if (cell_.row >= table.fixedRows() &&
            cell_.row < table.fixedRows() + grid_->verticalScrollBar()->value()) {
            return false;
        }
        return grid_->cellRect(cell_.col, cell_.row).intersects(grid_->viewport()->rect());
    }

    QPointer<TaskGrid> grid_;
    CellPos cell_;
    QString knownText_;
};

// The grid as a table. Its children are the cells, row by row, the caption row first; the scroll
// bars and the editor's viewport stay out of the count as they do for Qt's own item views.
class GridTableAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTableAccessible(TaskGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table),
          grid_(grid),
          knownRows_(grid->table().rowCount()),
          knownCols_(grid->table().colCount()),
          knownCurrent_(currentCellIn(*grid)) {
        made().insert(grid, this);
    }

    ~GridTableAccessible() override {
        made().remove(grid_);
        dropCells([](CellPos) { return true; });
    }

    // The accessible Qt made for the grid, none before anything asked for one.
    static GridTableAccessible* of(const TaskGrid& grid) { return made().value(&grid); }

    // Announces rows and columns that came or went, then cells whose text changed. The cells'
    // bookkeeping goes on while nobody listens, so that a reader that starts later is not told
    // of old changes.
    void followTable() {
        TaskGrid& grid = *this->grid();
        const TaskTable& table = grid.table();
        const int rows = table.rowCount();
        const int cols = table.colCount();
        const int oldRows = std::exchange(knownRows_, rows);
        const int oldCols = std::exchange(knownCols_, cols);
        if (rows < oldRows || cols < oldCols) {
            dropCells([&](CellPos cell) { return !inTable(table, cell); });
        }
        // First collect, then announce: a listener may ask for cells meanwhile.
        std::vector<CellPos> changed;
        for (const auto& [key, id] : cells_) {
            auto* cell = static_cast<GridCellAccessible*>(QAccessible::accessibleInterface(id));
            if (cell != nullptr && cell->takeTextChange()) {
                changed.push_back(cell->cell());
            }
        }
        if (!eventsHeard()) {
            return;
        }

        if (rows != oldRows) {
            sendCountChange(rows > oldRows ? QAccessibleTableModelChangeEvent::RowsInserted
                                           : QAccessibleTableModelChangeEvent::RowsRemoved,
                            std::min(rows, oldRows), std::max(rows, oldRows) - 1, 0, cols - 1);
        }
        if (cols != oldCols) {
            sendCountChange(cols > oldCols ? QAccessibleTableModelChangeEvent::ColumnsInserted
                                           : QAccessibleTableModelChangeEvent::ColumnsRemoved,
                            0, rows - 1, std::min(cols, oldCols), std::max(cols, oldCols) - 1);
        }
        if (changed.empty()) {
            return;
        }
        QAccessibleTableModelChangeEvent data(&grid, QAccessibleTableModelChangeEvent::DataChanged);
        data.setFirstRow(std::min_element(changed.begin(), changed.end(), byRow)->row);
        data.setLastRow(std::max_element(changed.begin(), changed.end(), byRow)->row);
        data.setFirstColumn(std::min_element(changed.begin(), changed.end(), byCol)->col);
        data.setLastColumn(std::max_element(changed.begin(), changed.end(), byCol)->col);
        send(data);
        for (const CellPos cell : changed) {
            sendCellEvent(grid, QAccessible::NameChanged, cell);
        }
    }

    // Moves the selection to the current cell and, while the grid has the focus, the focus.
    void followCurrentCell() {
        TaskGrid& grid = *this->grid();
        const auto current = currentCellIn(grid);
        const auto old = std::exchange(knownCurrent_, current);
        if (!eventsHeard()) {
            return;
        }
        if (current != old) {
            // A cell that left the table with its row or column is not spoken of any more.
            if (old && inTable(grid.table(), *old)) {
                sendCellEvent(grid, QAccessible::SelectionRemove, *old);
            }
            if (current) {
                sendCellEvent(grid, QAccessible::SelectionAdd, *current);
            }
        }
        focusCurrentCell();
    }

    // The current cell takes the focus while the grid has it (not while the editor has it).
    void focusCurrentCell() {
        TaskGrid& grid = *this->grid();
        const auto current = currentCellIn(grid);
        if (current && grid.hasFocus() && eventsHeard()) {
            sendCellEvent(grid, QAccessible::Focus, *current);
        }
    }

    // QAccessibleInterface
    QAccessibleInterface* childAt(int x, int y) const override {
        const QWidget* viewport = grid()->viewport();
        const QPoint point = viewport->mapFromGlobal(QPoint(x, y));
        if (!viewport->rect().contains(point)) {
            return nullptr;
        }
        const auto cell = grid()->cellAt(point);
        return cell ? cellAt(cell->row, cell->col) : nullptr;
    }
    int childCount() const override { return model().rowCount() * model().colCount(); }
    QAccessibleInterface* child(int index) const override {
        const int cols = model().colCount();
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        return cellAt(index / cols, index % cols);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const GridCellAccessible*>(child);
        if (cell == nullptr || !cell->belongsTo(grid()) || !cell->isValid()) {
            return -1;
        }
        return childIndex(model(), cell->cell());
    }
    // The editor while it has the focus, else the current cell while the grid has it.
    QAccessibleInterface* focusChild() const override {
        const TaskGrid* grid = this->grid();
        if (grid->isEditing() && grid->editor()->hasFocus()) {
            return QAccessible::queryAccessibleInterface(grid->editor());
        }
        const auto current = currentCellIn(*grid);
        if (!grid->hasFocus() || !current) {
            return nullptr;
        }
        return cellAt(current->row, current->col);
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface) {
            return static_cast<QAccessibleTableInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }

    QAccessibleInterface* cellAt(int row, int column) const override {
        TaskGrid* grid = this->grid();
        const CellPos cell{column, row};
        if (!inTable(grid->table(), cell)) {
            return nullptr;
        }
        const auto key = std::make_pair(row, column);
        if (const auto found = cells_.find(key); found != cells_.end()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(found->second)) {
                return known;
            }
            cells_.erase(found);
        }
        auto* made = new GridCellAccessible(*grid, cell);
        cells_.emplace(key, QAccessible::registerAccessibleInterface(made));
        return made;
    }
    int selectedCellCount() const override { return currentCellIn(*grid()) ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        const auto current = currentCellIn(*grid());
        if (!current) {
            return {};
        }
        return {cellAt(current->row, current->col)};
    }
    QString columnDescription(int column) const override {
        if (column < 0 || column >= model().colCount()) {
            return {};
        }
        return spokenText(model(), column, 0);
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return model().colCount(); }
    int rowCount() const override { return model().rowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Whole rows and columns are never selected; the current cell is the selection.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // Called by Qt for every table-change event of this grid, the ones followTable sends
    // included; the cells were brought in line before those, so only a reset is left.
    void modelChange(QAccessibleTableModelChangeEvent* event) override {
        if (event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset) {
            dropCells([](CellPos) { return true; });
        }
    }

private:
    static QHash<const TaskGrid*, GridTableAccessible*>& made() {
        static QHash<const TaskGrid*, GridTableAccessible*> accessibles;
        return accessibles;
    }

    static bool byRow(CellPos a, CellPos b) { return a.row < b.row; }
    static bool byCol(CellPos a, CellPos b) { return a.col < b.col; }

    TaskGrid* grid() const { return static_cast<TaskGrid*>(widget()); }
    const TaskTable& model() const { return grid()->table(); }

    void sendCountChange(QAccessibleTableModelChangeEvent::ModelChangeType type, int firstRow,
                         int lastRow, int firstCol, int lastCol) {
        QAccessibleTableModelChangeEvent event(grid(), type);
        event.setFirstRow(firstRow);
        event.setLastRow(lastRow);
        event.setFirstColumn(firstCol);
        event.setLastColumn(lastCol);
        send(event);
    }

    template <typename Predicate>
    void dropCells(Predicate drop) {
        for (auto it = cells_.begin(); it != cells_.end();) {
            if (drop(CellPos{it->first.second, it->first.first})) {
                QAccessible::deleteAccessibleInterface(it->second);
                it = cells_.erase(it);
            } else {
                ++it;
            }
        }
    }

    const TaskGrid* grid_;  // the key in made(), also while the grid is being destroyed
    int knownRows_;
    int knownCols_;
    std::optional<CellPos> knownCurrent_;
    // The cells made so far by (row, column); a 100 x 100 table only pays for what is read.
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object) {
    if (object == nullptr || className != QLatin1String(TaskGrid::staticMetaObject.className())) {
        return nullptr;
    }
    auto* grid = qobject_cast<TaskGrid*>(object);
    return grid != nullptr ? new GridTableAccessible(grid) : nullptr;
}
}  // namespace

void installTaskGridAccessibility() {
    // Qt keeps a factory once; it forgets them all when the application object goes, so this
    // is asked again for every grid.
    QAccessible::installFactory(gridAccessibleFactory);
}

void announceTaskGridChange(TaskGrid& grid) {
    if (GridTableAccessible* accessible = GridTableAccessible::of(grid)) {
        accessible->followTable();
    }
}

void announceTaskGridCurrentCell(TaskGrid& grid) {
    if (GridTableAccessible* accessible = GridTableAccessible::of(grid)) {
        accessible->followCurrentCell();
    }
}

void announceTaskGridFocusIn(TaskGrid& grid) {
    if (GridTableAccessible::of(grid) == nullptr || !eventsHeard()) {
        return;
    }
    QMetaObject::invokeMethod(
        &grid,
        [&grid] {
            if (GridTableAccessible* accessible = GridTableAccessible::of(grid)) {
                accessible->focusCurrentCell();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace taskwick
