#pragma once

#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace taskwick {

// The user's changes to the task table, one step each, to be undone and done again. A step is
// whatever changed between its beginning and its end: a finished cell edit, a key command, a
// row or column command, a setting, a dragged column width. Changes outside a step (a window
// that fits its columns to a new size, the blanks cleared from a cell as it becomes current)
// are no steps of their own and are never undone.
//
// Undoing and doing again change the table through its own setters, as one change: whatever
// follows the table (the grid, the menu's ticks, a screen reader, the automatic save) follows
// an undo as it followed the step. The cell the step changed becomes the current one, so the
// view shows it; a step that brings rows or columns back shows the first of them. It says when
// undoing and doing again become possible or impossible (canUndoChanged, canRedoChanged); at
// first neither is.
//
// Not a QUndoStack: its steps are bounded by count only, and a step that holds a 10 MB cell
// must push old steps out by size as well.
class TableHistory : public QObject {
    Q_OBJECT
public:
    // At most this many steps, and at most this much text (in characters, before and after)
    // in all of them together; the oldest steps go first.
    static constexpr std::size_t MaxSteps = 1000;
    static constexpr std::size_t MaxTextChars = 16 * 1024 * 1024;

    // The table and the current cell must outlive the history.
    TableHistory(TaskTable& table, CurrentCell& current, QObject* parent = nullptr);
    ~TableHistory() override;

    // A step begins: what the table holds now is what undoing it goes back to. Steps nest;
    // only the outermost counts.
    void beginStep();
    // The step ends: what changed since it began becomes one step, and nothing to do again
    // is left. A step that changed nothing leaves no trace.
    void endStep();
    // Runs `change` as one step; what it changed before it threw is a step too. A step that
    // is open meanwhile (a cell editor, from which the menu was opened) ends before it and
    // goes on as a new step after it, so that each can be undone on its own.
    template <class Change>
    void record(Change&& change) {
        const int outer = endOpenStep();
        beginStep();
        try {
            change();
        } catch (...) {
            endStep();
            reopenStep(outer);
            throw;
        }
        endStep();
        reopenStep(outer);
    }

    // A cell changed outside any step in a way the user does not see: its blanks were cleared
    // as it became current. The change goes with the next step, or with the step that is
    // undone or done again first, so that undoing every step gives back the list as it was,
    // byte for byte.
    void noteQuietChange(CellPos cell, const QString& before);

    void undo();
    void redo();
    // While the list is out of sight (the window folded to its bar), undo and redo do nothing
    // and count as impossible, so that nothing changes unseen.
    void setAvailable(bool available);
    // Forgets every step: another version of the list came in. An open step starts afresh
    // from what the table holds now.
    void clear();

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }

signals:
    // Whether undo() and redo() would change anything now, each time that changes.
    void canUndoChanged(bool possible);
    void canRedoChanged(bool possible);

private:
    // What a step compares and restores besides the texts: the table's shape and column
    // settings.
    struct Content {
        int rows = 0;
        int cols = 0;
        std::vector<int> widths;
        std::vector<Alignment> alignments;
        bool captionsBold = false;
        bool drawGridLines = false;
        std::optional<CellPos> current;
    };
    struct CellChange {
        CellPos cell;
        QString before;
        QString after;
    };
    // What one step changed, both ways: the cells that differ, and the rest whole. Undoing
    // and doing again set only what differs between the two sides, so that what changed
    // outside the steps (widths fitted to a resized window) stays.
    struct Step {
        std::vector<CellChange> cells;
        Content before;
        Content after;
        std::size_t textChars = 0;  // of the cells' texts, before and after
        bool changesAnything() const;
    };
    enum class Side { Before, After };

    // Ends the open step, however deep, and returns its depth (0: none was open); reopenStep
    // begins it again at that depth.
    int endOpenStep();
    void reopenStep(int depth);
    // The cell that shows the step once it is undone or done again.
    std::optional<CellPos> shownCell(const Step& step, Side side) const;
    Content settings() const;
    Step stepFrom(Content before) const;
    void apply(const Step& step, Side side);
    void applyContent(const Step& step, Side side);
    void keepWithinBounds();
    // Adds a change of one cell made just before or just after the step to it.
    enum class Made { BeforeStep, AfterStep };
    void mergeInto(Step& step, const CellChange& change, Made made);
    void mergeQuietChangesInto(Step& step, Made made);
    void reportAvailability();

    TaskTable& table_;
    CurrentCell& current_;
    bool undoReported_ = false;
    bool redoReported_ = false;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are done; the rest can be done again
    bool available_ = true;
    std::size_t textChars_ = 0;
    int depth_ = 0;
    std::unique_ptr<Content> open_;  // the table as the open step found it
    // The texts the open step changed, as they were before: a step is told in time that
    // grows with what it changed, not with the table.
    std::unique_ptr<TaskTable::TextJournal> journal_;
    std::vector<CellChange> quiet_;  // since the last step, undo or redo
};

}  // namespace taskwick
