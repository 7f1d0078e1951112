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
    if (row < 0 || col < 0 || row >= rows_.size()) {
        return {};
    }
    const QList<QString>& r = rows_.at(row);
    return col < r.size() ? r.at(col) : QString();
}

void TaskTable::ensureStored(int col, int row) {
    if (rows_.size() <= row) {
        rows_.resize(row + 1);
    }
    if (rows_.at(row).size() <= col) {
        rows_[row].resize(col + 1);
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
    if (rows_.at(row).at(col) == text) {
        return;
    }
    // Only the row that changes is copied from versions that share the texts.
    QString& slot = rows_[row][col];
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
    if (row >= 0 && row < rows_.size()) {
        const QList<QString>& texts = rows_.at(row);
        for (qsizetype col = 0; col < texts.size(); ++col) {
            if (!texts.at(col).isEmpty()) {
                noteText(size_t(col), size_t(row), texts.at(col));
            }
        }
        rows_[row].fill(QString());
        notifyChanged();
    }
}

void TaskTable::clearColumn(int col) {
    if (col < 0) {
        return;
    }
    for (qsizetype row = 0; row < rows_.size(); ++row) {
        if (const QList<QString>& texts = rows_.at(row);
            col < texts.size() && !texts.at(col).isEmpty()) {
            noteText(size_t(col), size_t(row), texts.at(col));
            rows_[row][col].clear();
        }
    }
    notifyChanged();
}

void TaskTable::takeContentOf(const TaskTable& other) {
    const ChangeBatch oneChange(*this);
    rowCount_ = other.rowCount_;
    colCount_ = other.colCount_;
    if (!journals_.empty()) {
        const qsizetype rows = std::max(rows_.size(), other.rows_.size());
        for (qsizetype row = 0; row < rows; ++row) {
            const qsizetype cols =
                std::max(row < rows_.size() ? rows_.at(row).size() : 0,
                         row < other.rows_.size() ? other.rows_.at(row).size() : 0);
            for (qsizetype col = 0; col < cols; ++col) {
                const QString before = cell(int(col), int(row));
                if (before != other.cell(int(col), int(row))) {
                    noteText(size_t(col), size_t(row), before);
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

void TaskTable::shareEqualTexts(const TaskTable& other) {
    const qsizetype rows = std::min(rows_.size(), other.rows_.size());
    for (qsizetype row = 0; row < rows; ++row) {
        const QList<QString>& mine = rows_.at(row);
        const QList<QString>& theirs = other.rows_.at(row);
        if (mine.isSharedWith(theirs)) {
            continue;
        }
        if (mine == theirs) {
            rows_[row] = theirs;
            continue;
        }
        const qsizetype cols = std::min(mine.size(), theirs.size());
        for (qsizetype col = 0; col < cols; ++col) {
            if (rows_.at(row).at(col) == theirs.at(col)) {
                rows_[row][col] = theirs.at(col);
            }
        }
    }
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
