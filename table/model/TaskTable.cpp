#include "table/model/TaskTable.h"

#include <algorithm>
#include <utility>

namespace taskwick {

bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

TaskTable::TaskTable(QObject* parent)
    : QObject(parent), widths_{50, 235, 45}, alignments_(DefaultColCount, Alignment::Left) {}

TaskTable::~TaskTable() {
    for (TextJournal* journal : journals_) {
        journal->table_ = nullptr;
    }
}

void TaskTable::setRowCount(int rows) {
    rows = std::clamp(rows, 1, std::min(MaxRowCount, MaxCellCount / colCount_));
    if (rows == rowCount_) {
        return;
    }
    rowCount_ = rows;
    if (rowCount_ < 2 && captionsFixed_) {
        captionsFixed_ = false;
    }
    notifyChanged();
}

void TaskTable::setColCount(int cols) {
    cols = std::clamp(cols, 1, std::min(MaxColCount, MaxCellCount / rowCount_));
    if (cols == colCount_) {
        return;
    }
    colCount_ = cols;
    widths_.resize(static_cast<size_t>(cols), DefaultColumnWidth);
    alignments_.resize(static_cast<size_t>(cols), Alignment::Left);
    notifyChanged();
}

void TaskTable::setShape(int rows, int cols) {
    const ChangeBatch oneChange(*this);
    if (cols <= colCount_) {
        setColCount(cols);
        setRowCount(rows);
    } else {
        setRowCount(rows);
        setColCount(cols);
    }
}

QString TaskTable::cell(int col, int row) const {
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= rows_.size()) {
        return {};
    }
    const auto& r = rows_[static_cast<size_t>(row)];
    return static_cast<size_t>(col) < r.size() ? r[static_cast<size_t>(col)] : QString();
}

void TaskTable::ensureStored(int col, int row) {
    if (rows_.size() <= static_cast<size_t>(row)) {
        rows_.resize(static_cast<size_t>(row) + 1);
    }
    auto& r = rows_[static_cast<size_t>(row)];
    if (r.size() <= static_cast<size_t>(col)) {
        r.resize(static_cast<size_t>(col) + 1);
    }
}

void TaskTable::setCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0) {
        return;
    }
    if (text.isEmpty() && cell(col, row).isEmpty()) {
        return;
    }
    ensureStored(col, row);
    auto& slot = rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (slot == text) {
        return;
    }
    noteText(static_cast<size_t>(col), static_cast<size_t>(row), slot);
    slot = text;
    notifyChanged();
}

void TaskTable::appendToRow(int row, const QString& text) {
    for (int col = 0; col < colCount_; ++col) {
        if (cell(col, row).isEmpty()) {
            setCell(col, row, text.isEmpty() ? QStringLiteral(" ") : text);
            return;
        }
    }
}

void TaskTable::clearRow(int row) {
    if (row >= 0 && static_cast<size_t>(row) < rows_.size()) {
        auto& texts = rows_[static_cast<size_t>(row)];
        for (size_t col = 0; col < texts.size(); ++col) {
            if (!texts[col].isEmpty()) {
                noteText(col, static_cast<size_t>(row), texts[col]);
                texts[col].clear();
            }
        }
        notifyChanged();
    }
}

void TaskTable::clearColumn(int col) {
    if (col < 0) {
        return;
    }
    const auto c = static_cast<size_t>(col);
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (c < rows_[row].size() && !rows_[row][c].isEmpty()) {
            noteText(c, row, rows_[row][c]);
            rows_[row][c].clear();
        }
    }
    notifyChanged();
}

void TaskTable::takeContentOf(const TaskTable& other) {
    const ChangeBatch oneChange(*this);
    rowCount_ = other.rowCount_;
    colCount_ = other.colCount_;
    if (!journals_.empty()) {
        const size_t rows = std::max(rows_.size(), other.rows_.size());
        for (size_t row = 0; row < rows; ++row) {
            const size_t cols = std::max(row < rows_.size() ? rows_[row].size() : 0,
                                         row < other.rows_.size() ? other.rows_[row].size() : 0);
            for (size_t col = 0; col < cols; ++col) {
                const QString before = cell(int(col), int(row));
                if (before != other.cell(int(col), int(row))) {
                    noteText(col, row, before);
                }
            }
        }
    }
    rows_ = other.rows_;
    widths_ = other.widths_;
    alignments_ = other.alignments_;
    captionsBold_ = other.captionsBold_;
    drawGridLines_ = other.drawGridLines_;
    if (rowCount_ < 2) {
        captionsFixed_ = false;
    }
    notifyChanged();
}

void TaskTable::noteText(size_t col, size_t row, const QString& before) {
    for (TextJournal* journal : journals_) {
        journal->note(int(col), int(row), before);
    }
}

TaskTable::TextJournal::TextJournal(TaskTable& table) : table_(&table) {
    table_->journals_.push_back(this);
}

TaskTable::TextJournal::~TextJournal() {
    if (table_ != nullptr) {
        std::erase(table_->journals_, this);
    }
}

void TaskTable::TextJournal::note(int col, int row, const QString& before) {
    const auto key = (std::uint64_t(std::uint32_t(row)) << 32) | std::uint32_t(col);
    if (noted_.insert(key).second) {
        entries_.push_back({CellPos{col, row}, before});
    }
}

int TaskTable::columnWidth(int col) const {
    return col >= 0 && col < colCount_ ? widths_[static_cast<size_t>(col)] : 0;
}

void TaskTable::setColumnWidth(int col, int pixels) {
    pixels = std::clamp(pixels, 0, MaxColumnWidth);
    if (col < 0 || col >= colCount_ || widths_[static_cast<size_t>(col)] == pixels) {
        return;
    }
    widths_[static_cast<size_t>(col)] = pixels;
    notifyChanged();
}

Alignment TaskTable::columnAlignment(int col) const {
    return col >= 0 && col < colCount_ ? alignments_[static_cast<size_t>(col)] : Alignment::Left;
}

void TaskTable::setColumnAlignment(int col, Alignment alignment) {
    if (col < 0 || col >= colCount_) {
        return;
    }
    alignments_[static_cast<size_t>(col)] = alignment;
    notifyChanged();
}

void TaskTable::setCaptionsBold(bool bold) {
    if (captionsBold_ != bold) {
        captionsBold_ = bold;
        notifyChanged();
    }
}

void TaskTable::setDrawGridLines(bool draw) {
    if (drawGridLines_ != draw) {
        drawGridLines_ = draw;
        notifyChanged();
    }
}

bool TaskTable::setCaptionsFixed(bool fixed) {
    if (fixed && rowCount_ < 2) {
        return false;
    }
    if (fixed != captionsFixed_) {
        captionsFixed_ = fixed;
        notifyChanged();
    }
    return true;
}

void TaskTable::notifyChanged() {
    if (batchDepth_ > 0) {
        changedInBatch_ = true;
        return;
    }
    emit changed();
}

TaskTable::ChangeBatch::ChangeBatch(TaskTable& table) : table_(table) {
    ++table_.batchDepth_;
}

TaskTable::ChangeBatch::~ChangeBatch() {
    if (--table_.batchDepth_ == 0 && std::exchange(table_.changedInBatch_, false)) {
        emit table_.changed();
    }
}

}  // namespace taskwick
