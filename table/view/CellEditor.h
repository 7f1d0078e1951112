#pragma once

#include <QLineEdit>
#include <QString>

#include <optional>

namespace taskwick {

// What an editor that opens on a cell shows of its text: all of it selected, or the cursor at
// its end.
enum class EditorSelection { All, CaretAtEnd };

// The grid's in-place editor: a line edit over the current cell that edits the cell's whole
// text. A line edit lays its whole text out at every keystroke and at every blink of its
// cursor, which a cell of a megabyte turns into a stall of the window each time. So a text
// longer than WholeTextLimit is edited a piece at a time: the line edit holds the stretch
// around the cursor, the text before and after it waits aside, and the piece moves along
// as the cursor comes near one of its ends. Home, End, select-all, copy and cut work on the
// whole text, and a selection may reach on past the piece: whatever replaces it replaces all
// of it. A paste goes in the same way, so that pasting megabytes into a short text never hands
// them to the line edit whole.
//
// Within a piece the line edit's own undo works; moving the piece starts it afresh.
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    static constexpr qsizetype WholeTextLimit = 20000;

    explicit CellEditor(QWidget* parent = nullptr);

    // Puts a cell's whole text into the editor: all of it selected, or the cursor at its end.
    void setCellText(const QString& text, EditorSelection selection);
    // Takes a text changed from outside unless it is the one being edited; the cursor goes to
    // its end.
    void followCellText(const QString& text);
    // The same text with some characters swapped one for one: cursor and selection stay.
    void replaceKeepingLength(const QString& text);
    QString cellText() const;
    // Puts `text` in place of the selection, or at the cursor, as typing does.
    void insertText(const QString& text);
    // Lets go of the selection; the cursor stays.
    void dropSelection();

signals:
    // The user changed the text: the whole of it.
    void cellTextEdited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool isSplit() const { return !before_.isEmpty() || !after_.isEmpty(); }
    qsizetype cellLength() const { return before_.size() + text().size() + after_.size(); }
    // How many characters around the cursor the piece keeps at least: more than ever show.
    qsizetype margin() const;
    // Shows the whole text's stretch around `cursor` with the selection from `anchor`, both
    // positions in the whole text.
    void showAround(const QString& whole, qsizetype cursor, qsizetype anchor);
    void moveTo(qsizetype position, bool keepAnchor);
    qsizetype wholeAnchor() const;
    QString selectedCellText() const;
    void onPieceEdited();
    void onSelectionChanged();
    void onCursorMoved();

    QString before_;
    QString after_;
    qsizetype pieceLength_ = 0;  // the piece's length before the latest edit
    // Where the selection starts when that lies outside the piece; the line edit's own
    // selection then runs from the piece's end on that side to the cursor.
    std::optional<qsizetype> farAnchor_;
    bool moving_ = false;
    bool movePending_ = false;
};

}  // namespace taskwick
