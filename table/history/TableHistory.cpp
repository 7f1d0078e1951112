#include "table/history/TableHistory.h"

#include <algorithm>
#include <utility>

namespace taskwick {

TableHistory::TableHistory(TaskTable& table, CurrentCell& current, QObject* parent)
    : QObject(parent), table_(table), current_(current) {}

TableHistory::~TableHistory() = default;

TableHistory::Content TableHistory::settings() const {
    Content c;
    c.rows = table_.rowCount();
    c.cols = table_.colCount();
    c.widths.reserve(static_cast<std::size_t>(c.cols));
    for (int col = 0; col < c.cols; ++col) {
        c.widths.push_back(table_.columnWidth(col));
    }
    c.alignments = table_.columnAlignments();
    c.captionsBold = table_.captionsBold();
    c.drawGridLines = table_.drawGridLines();
    c.current = current_.cell();
    return c;
}

void TableHistory::beginStep() {
    if (depth_++ == 0) {
        open_ = std::make_unique<Content>(settings());
        journal_ = std::make_unique<TaskTable::TextJournal>(table_);
    }
}

void TableHistory::endStep() {
    if (depth_ == 0 || --depth_ > 0) {
        return;
    }
    Step step = stepFrom(std::move(*open_));
    open_.reset();
    journal_.reset();
    if (!step.changesAnything()) {
        return;  // moving about, opening and closing an editor without typing
    }
    while (steps_.size() > done_) {
        textChars_ -= steps_.back().textChars;
        steps_.pop_back();
    }
    textChars_ += step.textChars;
    mergeQuietChangesInto(step, Made::BeforeStep);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    keepWithinBounds();
    reportAvailability();
}

int TableHistory::endOpenStep() {
    const int depth = depth_;
    if (depth > 0) {
        depth_ = 1;
        endStep();
    }
    return depth;
}

void TableHistory::reopenStep(int depth) {
    if (depth > 0) {
        beginStep();
        depth_ = depth;
    }
}

bool TableHistory::Step::changesAnything() const {
    return !cells.empty() || before.rows != after.rows || before.cols != after.cols ||
           before.widths != after.widths || before.alignments != after.alignments ||
           before.captionsBold != after.captionsBold || before.drawGridLines != after.drawGridLines;
}

TableHistory::Step TableHistory::stepFrom(Content before) const {
    Step step;
    for (const auto& [cell, was] : journal_->entries()) {
        QString is = table_.cell(cell.col, cell.row);
        if (was != is) {  // a text may be back as it was
            step.textChars += static_cast<std::size_t>(was.size() + is.size());
            step.cells.push_back({cell, was, std::move(is)});
        }
    }
    std::sort(step.cells.begin(), step.cells.end(), [](const CellChange& a, const CellChange& b) {
        return std::pair(a.cell.row, a.cell.col) < std::pair(b.cell.row, b.cell.col);
    });
    step.before = std::move(before);
    step.after = settings();
    return step;
}

void TableHistory::noteQuietChange(CellPos cell, const QString& before) {
    if (depth_ == 0) {  // an open step sees it among its own changes
        quiet_.push_back({cell, before, table_.cell(cell.col, cell.row)});
    }
}

void TableHistory::mergeQuietChangesInto(Step& step, Made made) {
    for (const CellChange& quiet : std::exchange(quiet_, {})) {
        mergeInto(step, quiet, made);
    }
}

void TableHistory::mergeInto(Step& step, const CellChange& change, Made made) {
    const auto same = std::find_if(step.cells.begin(), step.cells.end(),
                                   [&](const CellChange& c) { return c.cell == change.cell; });
    if (same == step.cells.end()) {
        step.cells.push_back(change);
    } else if (made == Made::BeforeStep) {
        same->before = change.before;
    } else {
        same->after = change.after;
    }
    textChars_ -= std::min(textChars_, step.textChars);
    step.textChars = 0;
    for (const CellChange& c : step.cells) {
        step.textChars += static_cast<std::size_t>(c.before.size() + c.after.size());
    }
    textChars_ += step.textChars;
}

void TableHistory::keepWithinBounds() {
    while (steps_.size() > 1 && (steps_.size() > MaxSteps || textChars_ > MaxTextChars)) {
        textChars_ -= steps_.front().textChars;
        steps_.pop_front();
        --done_;
    }
}

void TableHistory::apply(const Step& step, Side side) {
    {
        const TaskTable::ChangeBatch oneChange(table_);
        applyContent(step, side);
    }
    // The user sees where the step happened, as far as the table lets a cell be current; once
    // the table changed, so that the view scrolls to the cell in its new shape.
    const std::optional<CellPos> cell = shownCell(step, side);
    if (cell && cell->row >= table_.fixedRows() && cell->row < table_.rowCount() &&
        cell->col < table_.colCount()) {
        current_.set(*cell);
    }
}

std::optional<CellPos> TableHistory::shownCell(const Step& step, Side side) const {
    const Content& from = side == Side::Before ? step.after : step.before;
    const Content& to = side == Side::Before ? step.before : step.after;
    if (to.rows <= from.rows && to.cols <= from.cols) {
        return to.current;
    }
    // Rows or columns came back (or were added again): the first of them, in the current
    // cell's column or row, or in the first row a cell can be current in.
    const int row = to.rows > from.rows ? from.rows : to.current ? to.current->row : 0;
    const int col = to.cols > from.cols ? from.cols : to.current ? to.current->col : 0;
    return CellPos{col, std::max(row, table_.fixedRows())};
}

void TableHistory::applyContent(const Step& step, Side side) {
    const Content& from = side == Side::Before ? step.after : step.before;
    const Content& to = side == Side::Before ? step.before : step.after;
    if (from.rows != to.rows || from.cols != to.cols) {
        table_.setShape(to.rows, to.cols);
    }
    const auto cols = static_cast<std::size_t>(to.cols);
    for (std::size_t col = 0; col < cols; ++col) {
        if (col >= from.widths.size() || from.widths[col] != to.widths[col]) {
            table_.setColumnWidth(int(col), to.widths[col]);
        }
        if (col >= from.alignments.size() || from.alignments[col] != to.alignments[col]) {
            table_.setColumnAlignment(int(col), to.alignments[col]);
        }
    }
    if (from.captionsBold != to.captionsBold) {
        table_.setCaptionsBold(to.captionsBold);
    }
    if (from.drawGridLines != to.drawGridLines) {
        table_.setDrawGridLines(to.drawGridLines);
    }
    for (const CellChange& change : step.cells) {
        table_.setCell(change.cell.col, change.cell.row,
                       side == Side::Before ? change.before : change.after);
    }
}

void TableHistory::undo() {
    if (available_ && depth_ == 0 && canUndo()) {
        mergeQuietChangesInto(steps_[done_ - 1], Made::AfterStep);
        --done_;
        apply(steps_[done_], Side::Before);
        reportAvailability();
    }
}

void TableHistory::redo() {
    if (available_ && depth_ == 0 && canRedo()) {
        mergeQuietChangesInto(steps_[done_], Made::BeforeStep);
        apply(steps_[done_], Side::After);
        ++done_;
        reportAvailability();
    }
}

void TableHistory::clear() {
    if (open_) {
        *open_ = settings();
        journal_.reset();
        journal_ = std::make_unique<TaskTable::TextJournal>(table_);
    }
    steps_.clear();
    quiet_.clear();
    done_ = 0;
    textChars_ = 0;
    reportAvailability();
}

void TableHistory::setAvailable(bool available) {
    available_ = available;
    reportAvailability();
}

void TableHistory::reportAvailability() {
    if (const bool undo = available_ && canUndo(); std::exchange(undoReported_, undo) != undo) {
        emit canUndoChanged(undo);
    }
    if (const bool redo = available_ && canRedo(); std::exchange(redoReported_, redo) != redo) {
        emit canRedoChanged(redo);
    }
}

}  // namespace taskwick
