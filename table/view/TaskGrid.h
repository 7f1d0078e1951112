#pragma once

#include "table/model/CurrentCell.h"
#include "table/model/TaskTable.h"
#include "table/view/CellEditor.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>
#include <utility>

class QDropEvent;
class QPainter;

namespace taskwick {

// What the grid takes from the platform besides the table: the X11 primary selection, which
// tests hand in as they choose.
class GridServices {
public:
    virtual ~GridServices() = default;
    // The text of the X11 primary selection, none where the platform has no such selection.
    virtual std::optional<QString> primarySelection() const;

    static GridServices& standard();
};

// The task table's grid: paints the cells of a TaskTable, places a CellEditor over the current
// cell for in-place editing and turns keys, clicks, the wheel and the clipboard into changes of
// the model. The caption row is part of the model: fixed while the captions are fixed, an ordinary
// editable row during caption editing. Which cell is current is the grid's to move and show; it
// shares it with whoever acts on that cell (the commands, the history).
class TaskGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int DefaultRowHeight = 24;
    static const QColor BackgroundColor;   // #F5F5FF
    static const QColor FixedColor;        // #D7E4F2
    static const QColor TaskCellColor;     // white
    static const QColor CaptionLineColor;  // black
    static const QColor GridLineColor;     // #C0C0C0

    enum class ScrollBarMode { Both, VerticalOnly, None };

    // The table and the current cell must outlive the grid.
    TaskGrid(TaskTable& table, CurrentCell& current, QWidget* parent = nullptr,
             GridServices* services = nullptr);
    ~TaskGrid() override;

    TaskTable& table() const { return table_; }
    CurrentCell& currentCell() const { return current_; }

    // The table's font: Tahoma 17 px, falling back to look-alikes where Tahoma is missing.
    static QFont tableFont();

    // The scroll bars follow the column count by themselves: only the vertical one while the
    // table has a single column, both otherwise (each shown only while the content needs it).
    // An explicit Both or VerticalOnly holds until the column count next changes. None
    // suppresses both until a later Both or VerticalOnly, or setScrollBarsSuppressed(false);
    // column changes meanwhile only decide what comes back.
    void setScrollBarMode(ScrollBarMode mode);
    void setScrollBarsSuppressed(bool suppressed);

    // Rectangle of a cell in viewport coordinates (may lie outside the visible area).
    QRect cellRect(int col, int row) const;
    // The cell under a viewport point, or none when the point is beyond the last row or column.
    std::optional<CellPos> cellAt(QPoint viewportPos) const;

    bool isEditing() const { return editingCell_.has_value(); }
    std::optional<CellPos> editingCell() const { return editingCell_; }
    CellEditor* editor() const { return editor_; }
    // Opens the editor on the current cell, its text all selected or the caret at its end.
    void openEditor(EditorSelection selection);
    void closeEditor();

    // The commands of the grid's keys (Ctrl+C, Ctrl+X, Ctrl+V, Delete, Escape; the window gives
    // them their keys). Copy, cut and delete act on the current cell and do nothing while the
    // editor is open, which has its own; paste goes into the open editor, else replaces the
    // current cell's text, cleaned of line breaks, and a clipboard without text pastes nothing.
    void copyCurrentCell();
    void cutCurrentCell();
    void pasteIntoCurrentCell();
    void emptyCurrentCell();
    // Ends editing (what was typed is in the cell already) and makes the first non-fixed cell
    // current; without an open editor it asks for the red bar's action.
    void escape();

signals:
    // A guarded step failed ("DrawCell", "DeleteLineBreaks"); delivered from the event loop,
    // never from inside a paint, one at a time.
    void exceptionCaught(const QString& context);
    // Escape without an open editor: the window folds or unfolds.
    void redBarActionRequested();
    // The +/- buttons lie over the frame next to the table and must be drawn again.
    void plusMinusButtonsRepaintRequested();
    void fitColumnWidthsRequested();
    // A mouse press with the right button held, on the grid or its editor. The position is the
    // pointer's at that moment, not the press's.
    void contextMenuRequested(QPoint globalPos);
    // The user begins and ends one change of the table: an editor from its opening to its
    // closing, a key command on a cell (Delete, Ctrl+X, Ctrl+V), a column width dragged from
    // the press to the release. The two always come in pairs.
    void userChangeStarted();
    void userChangeFinished();
    // A cell's blanks were cleared as it became current: a change the user does not see.
    void blanksCleared(CellPos cell, const QString& blanks);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScrollBarMode scrollBarMode() const {
        return scrollBarsSuppressed_ ? ScrollBarMode::None : columnScrollBarMode_;
    }
    int pitchY() const { return DefaultRowHeight + table_.gridLineWidth(); }
    int columnLeft(int col) const;  // content x, before horizontal scrolling
    int contentWidth() const;
    int visibleScrollRows() const;  // non-fixed rows that fit completely below the fixed ones
    bool tableHasFocus() const;

    // The grid's own part of a key: movement, the fix-up of a current cell outside the
    // non-fixed area, opening and closing the editor.
    void handleGridKey(QKeyEvent* event);
    // Moves the current cell by the key, or into the non-fixed area when it lies outside it.
    void moveCurrentCell(int key, Qt::KeyboardModifiers modifiers);
    static bool isEditorRedoKey(const QKeyEvent* event);
    // Sets the cell's text as one change of the user's.
    void setCellByUser(CellPos cell, const QString& text);
    std::optional<CellPos> movedBy(int key, Qt::KeyboardModifiers modifiers, CellPos from) const;
    // Makes the cell current the way every user move does: select handler, editor closed.
    void focusCell(CellPos target);
    void ensureVisible(CellPos cell);
    enum class WheelStep { Up, Down };
    void wheelStep(WheelStep step);

    // The grid's own steps around the user's actions, in the order the rest of the program
    // relies on.
    void beforeCellBecomesCurrent(int col, int row);
    void onCellActivated();
    void onDoubleClicked(QPoint viewportPos);  // where, in the table's coordinates
    void onMouseReleased();
    void onWheelTurned();
    QString withoutLineBreaks(const QString& text);

    void prepareAndPaintCell(QPainter& painter, int col, int row, const QRect& rect);
    // Draws one cell after the view prepared the painter: brush = fill color, pen = text
    // color, font = the table's font. Clipping to the cell is the caller's business.
    void paintCell(QPainter& painter, int col, int row, const QRect& rect);
    void paintGridLines(QPainter& painter, int firstRow, int lastRow, int firstCol, int lastCol);
    void reportException(const QString& context);

    void updateScrollBars();
    void followColumnCount();
    void applyScrollBarMode();
    bool requestContextMenu(Qt::MouseButtons buttons);

    // The editor's events that the grid takes over or cleans before the editor sees them.
    bool editorKeyPress(QKeyEvent* event);
    bool editorMouseRelease(QMouseEvent* event);
    bool dropWithoutLineBreaks(QDropEvent* event);
    void storeEditorText(const QString& text);
    static bool isPasteKey(const QKeyEvent* event);
    // Cleans the clipboard's text of line breaks and returns what a paste inserts.
    QString cleanClipboardForEditorPaste();
    void pasteIntoEditor();
    void placeEditor();
    void onModelChanged();
    void onCurrentCellChanged();
    int columnBorderAt(QPoint viewportPos) const;

    TaskTable& table_;
    CurrentCell& current_;
    GridServices& services_;
    CellEditor* editor_ = nullptr;
    std::optional<CellPos> editingCell_;
    bool storingEditorText_ = false;  // the editor's text goes into its cell
    ScrollBarMode columnScrollBarMode_ = ScrollBarMode::Both;
    bool scrollBarsSuppressed_ = false;
    int scrollBarColCount_ = 0;       // the column count the scroll bars were last set for
    bool captionsFixedShown_ = true;  // whether the caption row was fixed at the last change
    bool reportPending_ = false;
    bool wheelUsed_ = false;
    int wheelRemainder_ = 0;
    int resizingColumn_ = -1;
    int resizeGrabOffset_ = 0;
};

}  // namespace taskwick
