#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace taskwick {

// Horizontal alignment of a column's task cells; stored as one byte per column.
enum class Alignment : std::uint8_t { Left = 0, Center = 1, Right = 2 };

struct CellPos {
    int col = 0;
    int row = 0;
    friend bool operator==(const CellPos&, const CellPos&) = default;
};

// True when the text is empty once characters up to U+0020 are cut from both ends.
bool isBlank(const QString& text);

// The user's task table: row 0 holds the column captions, every row below is one task.
//
// Cell texts are kept independently of the row and column counts: a text stored in a row or
// column beyond the current counts stays hidden and shows again when the table grows to it.
// The loader relies on this for row elements past the stored row count.
class TaskTable : public QObject {
    Q_OBJECT
public:
    // A new table, as a first run shows it: the captions and five task rows, in three columns.
    static constexpr int DefaultRowCount = 6;
    static constexpr int DefaultColCount = 3;
    static constexpr int DefaultColumnWidth = 64;
    // A hand-edited file may ask for any count; these bounds keep memory and the next save
    // to a sane size (a million empty cells save in well under a second). They lie far beyond
    // what the menu offers (100 x 100).
    static constexpr int MaxRowCount = 100000;
    static constexpr int MaxColCount = 1000;
    static constexpr int MaxCellCount = 1000000;
    // Widths from a file are held to this, so that summing every column's width (and line)
    // stays far inside an int.
    static constexpr int MaxColumnWidth = 32767;

    explicit TaskTable(QObject* parent = nullptr);
    ~TaskTable() override;

    int rowCount() const { return rowCount_; }
    int colCount() const { return colCount_; }
    // Counts below 1 become 1, counts above the maximum the maximum; the maximum is the
    // smaller of MaxRowCount and what MaxCellCount leaves at the current column count, and
    // the other way round.
    void setRowCount(int rows);
    // Also resizes ColumnAlignments: added entries are Alignment::Left, removed ones are dropped.
    void setColCount(int cols);

    QString cell(int col, int row) const;
    // Every text the table keeps, shown or not, row by row; rows and columns past the counts
    // included, and rows shorter than the column count where their later cells are empty.
    const QList<QList<QString>>& storedTexts() const { return rows_; }
    // Both counts at once, in an order that never passes the cell limit on the way.
    void setShape(int rows, int cols);
    void setCell(int col, int row, const QString& text);
    // Stores the text in the first exactly empty cell of the row (column 0 first); an empty
    // text is stored as " " so that the next append goes to the next cell. A full row stays.
    void appendToRow(int row, const QString& text);
    // Empties every cell of the row / column, inside the table or not.
    void clearRow(int row);
    void clearColumn(int col);

    int columnWidth(int col) const;
    // Widths are held between 0 and MaxColumnWidth.
    void setColumnWidth(int col, int pixels);

    const std::vector<Alignment>& columnAlignments() const { return alignments_; }
    Alignment columnAlignment(int col) const;
    void setColumnAlignment(int col, Alignment alignment);

    bool captionsBold() const { return captionsBold_; }
    void setCaptionsBold(bool bold);
    bool drawGridLines() const { return drawGridLines_; }
    void setDrawGridLines(bool draw);
    int gridLineWidth() const { return drawGridLines_ ? 1 : 0; }

    // Takes over everything another table holds (counts, cells, widths, alignments and the
    // two display flags) as one change, in time proportional to the columns (the texts are
    // shared until either table changes them); this table's fixed caption row stays where it
    // can.
    void takeContentOf(const TaskTable& other);
    // Where a cell holds the same text as `other`'s, it shares `other`'s copy of it: two
    // versions of a list that differ in a few cells take the memory of one. No change.
    void shareEqualTexts(const TaskTable& other);

    bool captionsFixed() const { return captionsFixed_; }
    // Fixing the caption row needs a task row; returns false (flag unchanged) when there is none.
    bool setCaptionsFixed(bool fixed);
    int fixedRows() const { return captionsFixed_ ? 1 : 0; }

    // While a batch lives, `changed` is held back; it is emitted once when the outermost batch
    // ends, if anything changed. Loading a whole list is one change, not one per cell.
    class ChangeBatch {
    public:
        explicit ChangeBatch(TaskTable& table);
        ~ChangeBatch();
        ChangeBatch(const ChangeBatch&) = delete;
        ChangeBatch& operator=(const ChangeBatch&) = delete;

    private:
        TaskTable& table_;
    };

    // Notes, from when it is made until it is destroyed, the text each cell held before its
    // first change: what changed in that while can be told without comparing every cell. It
    // may outlive the table, and then notes nothing more.
    class TextJournal {
    public:
        struct Entry {
            CellPos cell;
            QString before;
        };

        explicit TextJournal(TaskTable& table);
        ~TextJournal();
        TextJournal(const TextJournal&) = delete;
        TextJournal& operator=(const TextJournal&) = delete;

        // Each cell once, in the order of their first changes. A cell may hold its text of
        // before again by now.
        const std::vector<Entry>& entries() const { return entries_; }

    private:
        friend class TaskTable;
        void note(int col, int row, const QString& before);

        TaskTable* table_;
        std::unordered_set<std::uint64_t> noted_;
        std::vector<Entry> entries_;
    };

signals:
    // Anything that changes what the table shows.
    void changed();

private:
    void ensureStored(int col, int row);
    void notifyChanged();
    // Tells the journals the text a cell holds before it changes.
    void noteText(std::size_t col, std::size_t row, const QString& before);

    int rowCount_ = DefaultRowCount;
    int colCount_ = DefaultColCount;
    // Row by row; may extend past the counts. Copies of the table (the versions the list's
    // keeper remembers, what a save writes) share the rows until one of them changes a row.
    QList<QList<QString>> rows_;
    std::vector<int> widths_;
    std::vector<Alignment> alignments_;
    bool captionsBold_ = false;
    bool drawGridLines_ = true;
    bool captionsFixed_ = true;
    int batchDepth_ = 0;
    bool changedInBatch_ = false;
    std::vector<TextJournal*> journals_;
};

}  // namespace taskwick
