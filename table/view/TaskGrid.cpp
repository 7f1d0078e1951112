#include "table/view/TaskGrid.h"

#include "texts/ErrorContexts.h"

#include "table/model/CellText.h"
#include "table/view/CellEditor.h"
#include "table/view/TaskGridAccessible.h"

#include <QClipboard>
#include <QCursor>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <stdexcept>

namespace taskwick {

const QColor TaskGrid::BackgroundColor{0xF5, 0xF5, 0xFF};
const QColor TaskGrid::FixedColor{0xD7, 0xE4, 0xF2};
const QColor TaskGrid::TaskCellColor{0xFF, 0xFF, 0xFF};
const QColor TaskGrid::CaptionLineColor{0, 0, 0};
const QColor TaskGrid::GridLineColor{0xC0, 0xC0, 0xC0};

namespace {

// How close to a column border in the caption row a press starts resizing that column.
constexpr int ResizeGrip = 2;
// One notch of a classic mouse wheel.
constexpr int WheelNotch = 120;

bool isPrintableKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    // Ctrl together with Alt is how some systems report AltGr, which types characters such as
    // "@" on German keyboards; Ctrl or Alt alone are commands.
    if (ctrl != alt || (modifiers & Qt::MetaModifier)) {
        return false;
    }
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).unicode() >= 0x20 && text.at(0).unicode() != 0x7F;
}

}  // namespace

std::optional<QString> GridServices::primarySelection() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) {
        return std::nullopt;
    }
    return clipboard->text(QClipboard::Selection);
}

GridServices& GridServices::standard() {
    static GridServices services;
    return services;
}

TaskGrid::TaskGrid(TaskTable& table, CurrentCell& current, QWidget* parent, GridServices* services)
    : QAbstractScrollArea(parent),
      table_(table),
      current_(current),
      services_(services ? *services : GridServices::standard()) {
    installTaskGridAccessibility();
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setFocusPolicy(Qt::StrongFocus);
    setFont(tableFont());
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    followColumnCount();
    captionsFixedShown_ = table_.captionsFixed();

    editor_ = new CellEditor(viewport());
    editor_->setFrame(false);
    editor_->setFont(tableFont());
    QPalette editorPalette = editor_->palette();
    editorPalette.setColor(QPalette::Base, BackgroundColor);
    editorPalette.setColor(QPalette::Window, BackgroundColor);
    editor_->setPalette(editorPalette);
    editor_->setAutoFillBackground(true);
    editor_->hide();
    // A right press on the editor opens the program's menu (see eventFilter), never its own.
    editor_->setContextMenuPolicy(Qt::PreventContextMenu);
    editor_->installEventFilter(this);
    // Every keystroke lands in the model at once, so nothing typed is ever lost, whichever way
    // editing ends.
    connect(editor_, &CellEditor::cellTextEdited, this, &TaskGrid::storeEditorText);

    connect(&table_, &TaskTable::changed, this, &TaskGrid::onModelChanged);
    connect(&current_, &CurrentCell::changed, this, &TaskGrid::onCurrentCellChanged);
    updateScrollBars();
}

TaskGrid::~TaskGrid() = default;

QFont TaskGrid::tableFont() {
    QFont font;
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(17);
    font.setWeight(QFont::Normal);
    return font;
}

void TaskGrid::setScrollBarMode(ScrollBarMode mode) {
    scrollBarsSuppressed_ = mode == ScrollBarMode::None;
    if (mode != ScrollBarMode::None) {
        columnScrollBarMode_ = mode;
    }
    applyScrollBarMode();
}

void TaskGrid::setScrollBarsSuppressed(bool suppressed) {
    scrollBarsSuppressed_ = suppressed;
    applyScrollBarMode();
}

void TaskGrid::followColumnCount() {
    if (table_.colCount() == scrollBarColCount_) {
        return;
    }
    scrollBarColCount_ = table_.colCount();
    columnScrollBarMode_ =
        scrollBarColCount_ == 1 ? ScrollBarMode::VerticalOnly : ScrollBarMode::Both;
    applyScrollBarMode();
}

void TaskGrid::applyScrollBarMode() {
    const ScrollBarMode mode = scrollBarMode();
    setVerticalScrollBarPolicy(mode == ScrollBarMode::None ? Qt::ScrollBarAlwaysOff
                                                           : Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(mode == ScrollBarMode::Both ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
}

int TaskGrid::columnLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c) {
        x += table_.columnWidth(c) + table_.gridLineWidth();
    }
    return x;
}

int TaskGrid::contentWidth() const {
    return columnLeft(table_.colCount());
}

int TaskGrid::visibleScrollRows() const {
    const int free = viewport()->height() - table_.fixedRows() * pitchY();
    return std::max(1, free / pitchY());
}

bool TaskGrid::tableHasFocus() const {
    return hasFocus() || (editor_ != nullptr && editor_->hasFocus());
}

QRect TaskGrid::cellRect(int col, int row) const {
    const int fixed = table_.fixedRows();
    const int shownRow = row < fixed ? row : row - verticalScrollBar()->value();
    return {columnLeft(col) - horizontalScrollBar()->value(), shownRow * pitchY(),
            table_.columnWidth(col), DefaultRowHeight};
}

std::optional<CellPos> TaskGrid::cellAt(QPoint viewportPos) const {
    if (viewportPos.x() < 0 || viewportPos.y() < 0) {
        return std::nullopt;
    }
    // A grid line belongs to the cell above or to the left of it.
    int row = viewportPos.y() / pitchY();
    if (row >= table_.fixedRows()) {
        row += verticalScrollBar()->value();
    }
    if (row >= table_.rowCount()) {
        return std::nullopt;
    }
    const int x = viewportPos.x() + horizontalScrollBar()->value();
    int left = 0;
    for (int col = 0; col < table_.colCount(); ++col) {
        left += table_.columnWidth(col) + table_.gridLineWidth();
        if (x < left) {
            return CellPos{col, row};
        }
    }
    return std::nullopt;
}

int TaskGrid::columnBorderAt(QPoint viewportPos) const {
    // Only the fixed caption row carries the sizing grips; during caption editing it is a row
    // like any other.
    if (!table_.captionsFixed() || viewportPos.y() < 0 || viewportPos.y() >= DefaultRowHeight) {
        return -1;
    }
    // From the right, so that a column dragged down to nothing can still be pulled open again.
    for (int col = table_.colCount() - 1; col >= 0; --col) {
        const int border =
            columnLeft(col) + table_.columnWidth(col) - horizontalScrollBar()->value();
        if (std::abs(viewportPos.x() - border) <= ResizeGrip) {
            return col;
        }
    }
    return -1;
}

// ---- painting ----

void TaskGrid::paintCell(QPainter& painter, int col, int row, const QRect& rect) {
    painter.fillRect(rect, painter.brush());
    int flags = Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::AlignVCenter;
    if (row == 0) {
        if (table_.captionsBold()) {
            QFont bold = painter.font();
            bold.setBold(true);
            painter.setFont(bold);
        }
        flags |= Qt::AlignHCenter;
    } else {
        // A task cell looks the same whether it is current or not.
        painter.fillRect(rect, TaskCellColor);
        switch (table_.columnAlignment(col)) {
            case Alignment::Center:
                flags |= Qt::AlignHCenter;
                break;
            case Alignment::Right:
                flags |= Qt::AlignRight;
                break;
            default:
                flags |= Qt::AlignLeft;
                break;
        }
    }
    const TextSide side = (flags & Qt::AlignHCenter) ? TextSide::Middle
                          : (flags & Qt::AlignRight) ? TextSide::Right
                                                     : TextSide::Left;
    painter.drawText(rect, flags, visibleCellText(table_.cell(col, row), rect.width(), side));
}

void TaskGrid::prepareAndPaintCell(QPainter& painter, int col, int row, const QRect& rect) {
    if (editingCell_ && *editingCell_ == CellPos{col, row}) {
        return;  // the editor covers it
    }
    QColor fill = TaskCellColor;
    // The current task cell keeps the window-text color without the focus too: its background
    // is always white, and the highlight-text color would vanish on it.
    QColor text = palette().color(QPalette::WindowText);
    if (row < table_.fixedRows()) {
        fill = FixedColor;
    } else if (row == 0) {
        fill = BackgroundColor;
        const auto current = current_.cell();
        if (current && *current == CellPos{col, row} && !tableHasFocus()) {
            fill = palette().color(QPalette::Highlight);
            text = palette().color(QPalette::HighlightedText);
        }
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setBrush(fill);
    painter.setPen(text);
    painter.setFont(font());
    try {
        paintCell(painter, col, row, rect);
    } catch (...) {
        reportException(errorContext::DrawCell);
    }
    painter.restore();
}

void TaskGrid::paintGridLines(QPainter& painter, int firstRow, int lastRow, int firstCol,
                              int lastCol) {
    const int left = -horizontalScrollBar()->value();
    const int right = contentWidth() - horizontalScrollBar()->value();  // one past the end
    for (int row = firstRow; row <= lastRow; ++row) {
        const QRect first = cellRect(firstCol, row);
        const bool fixedRow = row < table_.fixedRows();
        for (int col = firstCol; col <= lastCol; ++col) {
            const QRect cell = cellRect(col, row);
            // The fixed caption row has no lines between its cells: the gap keeps its color.
            painter.fillRect(cell.right() + 1, first.top(), 1, DefaultRowHeight,
                             fixedRow ? FixedColor : GridLineColor);
        }
        painter.fillRect(left, first.top() + DefaultRowHeight, right - left, 1,
                         fixedRow ? CaptionLineColor : GridLineColor);
    }
}

void TaskGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    painter.fillRect(event->rect(), BackgroundColor);

    const int cols = table_.colCount();
    const int hscroll = horizontalScrollBar()->value();
    int firstCol = 0;
    while (firstCol < cols - 1 &&
           columnLeft(firstCol + 1) - table_.gridLineWidth() - hscroll <= 0) {
        ++firstCol;
    }
    int lastCol = firstCol;
    while (lastCol < cols - 1 && columnLeft(lastCol + 1) - hscroll < area.width()) {
        ++lastCol;
    }

    const int fixed = std::min(table_.fixedRows(), table_.rowCount());
    const int firstScrollRow = fixed + verticalScrollBar()->value();
    int lastScrollRow = firstScrollRow - 1;
    while (lastScrollRow + 1 < table_.rowCount() &&
           cellRect(0, lastScrollRow + 1).top() < area.height()) {
        ++lastScrollRow;
    }

    auto paintRows = [&](int firstRow, int lastRow) {
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int col = firstCol; col <= lastCol; ++col) {
                prepareAndPaintCell(painter, col, row, cellRect(col, row));
            }
        }
        if (table_.gridLineWidth() > 0 && firstRow <= lastRow) {
            paintGridLines(painter, firstRow, lastRow, firstCol, lastCol);
        }
    };
    paintRows(0, fixed - 1);
    paintRows(firstScrollRow, lastScrollRow);

    const auto current = current_.cell();
    if (current && !editingCell_ && hasFocus()) {
        const QRect rect = cellRect(current->col, current->row);
        QPen dotted(palette().color(QPalette::WindowText), 1);
        dotted.setDashPattern({1.0, 1.0});
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void TaskGrid::reportException(const QString& context) {
    // Delivered from the event loop: a message box opened in the middle of a paint would
    // re-enter painting. One report at a time, so that a cell that fails on every repaint
    // does not stack boxes.
    if (reportPending_) {
        return;
    }
    reportPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, context] {
            reportPending_ = false;
            emit exceptionCaught(context);
        },
        Qt::QueuedConnection);
}

// ---- scrolling and editor placement ----

void TaskGrid::updateScrollBars() {
    const int scrollRows = std::max(0, table_.rowCount() - table_.fixedRows());
    const int shown = visibleScrollRows();
    verticalScrollBar()->setRange(0, std::max(0, scrollRows - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, std::max(0, contentWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    horizontalScrollBar()->setSingleStep(DefaultRowHeight);
}

void TaskGrid::ensureVisible(CellPos cell) {
    updateScrollBars();
    if (cell.row >= table_.fixedRows()) {
        const int index = cell.row - table_.fixedRows();
        const int top = verticalScrollBar()->value();
        const int shown = visibleScrollRows();
        if (index < top) {
            verticalScrollBar()->setValue(index);
        } else if (index >= top + shown) {
            verticalScrollBar()->setValue(index - shown + 1);
        }
    }
    const int left = columnLeft(cell.col);
    const int right = left + table_.columnWidth(cell.col);
    const int hscroll = horizontalScrollBar()->value();
    const int width = viewport()->width();
    if (left < hscroll) {
        horizontalScrollBar()->setValue(left);
    } else if (right > hscroll + width) {
        horizontalScrollBar()->setValue(std::min(left, right - width));
    }
}

void TaskGrid::placeEditor() {
    if (editingCell_) {
        editor_->setGeometry(cellRect(editingCell_->col, editingCell_->row));
    }
}

void TaskGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    placeEditor();
}

void TaskGrid::scrollContentsBy(int /*dx*/, int /*dy*/) {
    placeEditor();
    viewport()->update();
}

void TaskGrid::focusInEvent(QFocusEvent* event) {
    if (isEditing() && !editor_->hasFocus()) {
        // While a cell is being edited its keys belong to the editor, however the focus came
        // here; the grid itself ignores typing then.
        editor_->setFocus(event->reason());
        return;
    }
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    announceTaskGridFocusIn(*this);
}

void TaskGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TaskGrid::onModelChanged() {
    followColumnCount();
    updateScrollBars();
    // The caption row was fixed or unfixed: the view shows the table from its top-left cell.
    if (std::exchange(captionsFixedShown_, table_.captionsFixed()) != table_.captionsFixed()) {
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
    }
    if (editingCell_) {
        if (editingCell_->col >= table_.colCount() || editingCell_->row >= table_.rowCount()) {
            closeEditor();
        } else {
            editor_->followCellText(table_.cell(editingCell_->col, editingCell_->row));
            placeEditor();
        }
    }
    if (storingEditorText_ && editingCell_) {
        viewport()->update(cellRect(editingCell_->col, editingCell_->row));
    } else {
        viewport()->update();
    }
    announceTaskGridChange(*this);
}

void TaskGrid::onCurrentCellChanged() {
    const auto current = current_.cell();
    if (editingCell_ && (!current || *current != *editingCell_)) {
        closeEditor();
    }
    if (current) {
        ensureVisible(*current);
    }
    viewport()->update();
    announceTaskGridCurrentCell(*this);
}

// ---- editor ----

void TaskGrid::openEditor(EditorSelection selection) {
    const auto current = current_.cell();
    if (!current || current->col >= table_.colCount() || current->row >= table_.rowCount()) {
        return;
    }
    ensureVisible(*current);
    if (!editingCell_) {
        emit userChangeStarted();
    }
    editingCell_ = current;
    placeEditor();
    editor_->setCellText(table_.cell(current->col, current->row), selection);
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

void TaskGrid::closeEditor() {
    if (!editingCell_) {
        return;
    }
    editingCell_.reset();
    // Take the focus back first: hiding a focused editor would pass the focus on to the next
    // widget of the window.
    if (editor_->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
    }
    editor_->hide();
    viewport()->update();
    emit userChangeFinished();
}

bool TaskGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) {
        return QAbstractScrollArea::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Inside the editor, Ctrl+Y is the editor's redo as Ctrl+Shift+Z is (the editor
            // claims that one itself), not the window's redo of the table.
            if (isEditorRedoKey(static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return QAbstractScrollArea::eventFilter(watched, event);
        case QEvent::KeyPress:
            return editorKeyPress(static_cast<QKeyEvent*>(event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return requestContextMenu(static_cast<QMouseEvent*>(event)->buttons());
        case QEvent::MouseButtonRelease:
            return editorMouseRelease(static_cast<QMouseEvent*>(event));
        case QEvent::Drop:
            return dropWithoutLineBreaks(static_cast<QDropEvent*>(event));
        default:
            return QAbstractScrollArea::eventFilter(watched, event);
    }
}

bool TaskGrid::isEditorRedoKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier;
}

bool TaskGrid::editorKeyPress(QKeyEvent* event) {
    if (isEditorRedoKey(event)) {
        editor_->redo();
        return true;
    }
    if (isPasteKey(event)) {
        pasteIntoEditor();
        return true;
    }
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The table's keys: they move the current cell or end editing.
            keyPressEvent(event);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
            return false;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // The editor keeps Tab rather than letting it carry the focus off to the next
            // widget: the editor would stay open without the keys, and they would be lost.
            return true;
        default:
            return false;
    }
}

bool TaskGrid::editorMouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton) {
        return false;
    }
    const std::optional<QString> selection = services_.primarySelection();
    if (!selection) {
        return false;  // no selection to paste on this platform, nor does the editor paste one
    }
    // What the editor's own middle-button paste does, with the text cleaned. Unlike the
    // clipboard for Ctrl+V, the selection is left alone: it belongs to the program that shows
    // it selected, and taking it over would clear that highlight.
    editor_->dropSelection();
    if (const QString text = withoutLineBreaks(*selection); !text.isEmpty()) {
        editor_->insertText(text);
    }
    return true;
}

bool TaskGrid::dropWithoutLineBreaks(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    // Text moved inside the editor is the editor's own and clean already; trimming it as a
    // paste would lose the spaces at the end of the moved part.
    if (data == nullptr || !data->hasText() || event->source() == editor_) {
        return false;
    }
    const QString text = withoutLineBreaks(data->text());
    if (text == data->text()) {
        return false;
    }
    // The editor drops the cleaned text the way it drops any text (at the drop point, the
    // dropped part selected); this filter lets the clean copy through.
    QMimeData cleaned;
    cleaned.setText(text);
    QDropEvent drop(event->position(), event->possibleActions(), &cleaned, event->buttons(),
                    event->modifiers());
    QCoreApplication::sendEvent(editor_, &drop);
    event->setDropAction(drop.dropAction());
    event->setAccepted(drop.isAccepted());
    return true;
}

void TaskGrid::storeEditorText(const QString& text) {
    if (!editingCell_) {
        return;
    }
    // The paste paths clean their text before the editor inserts it; whatever else puts a line
    // break into the editor (an input method, say) still never gets one into a cell.
    const QString singleLine = lineBreaksToSpaces(text);
    if (singleLine != text) {
        editor_->replaceKeepingLength(singleLine);
    }
    // Only the edited cell changes, and the editor shows it: the rest of the grid stays as it
    // is painted.
    storingEditorText_ = true;
    table_.setCell(editingCell_->col, editingCell_->row, singleLine);
    storingEditorText_ = false;
}

bool TaskGrid::isPasteKey(const QKeyEvent* event) {
    // Ctrl+V with or without Shift, as the key commands count it, and the editor's other paste
    // keys (Shift+Insert, the Paste key).
    return (event->key() == Qt::Key_V && (event->modifiers() & Qt::ControlModifier)) ||
           event->matches(QKeySequence::Paste);
}

QString TaskGrid::cleanClipboardForEditorPaste() {
    // The clipboard keeps the cleaned text, so a later paste elsewhere gets it too. A clipboard
    // with nothing to paste (no text, a picture, only line breaks) is left as it is.
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard->text();
    const QString cleaned = withoutLineBreaks(text);
    if (!cleaned.isEmpty() && cleaned != text) {
        clipboard->setText(cleaned);
    }
    return cleaned;
}

void TaskGrid::pasteIntoEditor() {
    // The grid pastes rather than the line edit, which would lay out a pasted text of
    // megabytes whole; the editor keeps a large one a piece at a time. Nothing to paste
    // changes nothing: it never takes the selected text away.
    if (const QString text = cleanClipboardForEditorPaste(); !text.isEmpty()) {
        editor_->insertText(text);
    }
}

// ---- keys ----

void TaskGrid::keyPressEvent(QKeyEvent* event) {
    handleGridKey(event);
}

std::optional<CellPos> TaskGrid::movedBy(int key, Qt::KeyboardModifiers modifiers,
                                         CellPos from) const {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const int page = visibleScrollRows();
    switch (key) {
        case Qt::Key_Up:
            return ctrl ? CellPos{from.col, 0} : CellPos{from.col, from.row - 1};
        case Qt::Key_Down:
            return ctrl ? CellPos{from.col, table_.rowCount() - 1}
                        : CellPos{from.col, from.row + 1};
        case Qt::Key_Left:
            return ctrl ? CellPos{0, from.row} : CellPos{from.col - 1, from.row};
        case Qt::Key_Right:
            return ctrl ? CellPos{table_.colCount() - 1, from.row}
                        : CellPos{from.col + 1, from.row};
        case Qt::Key_PageUp:
            return CellPos{from.col, from.row - page};
        case Qt::Key_PageDown:
            return CellPos{from.col, from.row + page};
        case Qt::Key_Home:
            return ctrl ? CellPos{0, 0} : CellPos{0, from.row};
        case Qt::Key_End:
            return ctrl ? CellPos{table_.colCount() - 1, table_.rowCount() - 1}
                        : CellPos{table_.colCount() - 1, from.row};
        default:
            return std::nullopt;
    }
}

void TaskGrid::moveCurrentCell(int key, Qt::KeyboardModifiers modifiers) {
    const auto current = current_.cell();
    // With no current cell every key starts from just before the first cell, so that the
    // clamp below lands on the first non-fixed one.
    const CellPos from = current.value_or(CellPos{-1, -1});
    CellPos target = movedBy(key, modifiers, from).value_or(from);
    target.col = std::clamp(target.col, 0, table_.colCount() - 1);
    target.row = std::clamp(target.row, std::min(table_.fixedRows(), table_.rowCount() - 1),
                            table_.rowCount() - 1);
    if (!current || *current != target) {
        focusCell(target);
        onCellActivated();
    }
}

void TaskGrid::handleGridKey(QKeyEvent* event) {
    const int key = event->key();
    moveCurrentCell(key, event->modifiers());

    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (isEditing()) {
            closeEditor();
        } else {
            openEditor(EditorSelection::All);
        }
    } else if (isEditing()) {
        return;
    } else if (key == Qt::Key_F2) {
        openEditor(EditorSelection::All);
    } else if (key == Qt::Key_Backspace || isPrintableKey(event)) {
        openEditor(EditorSelection::All);
        if (isEditing()) {
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(),
                           event->isAutoRepeat(), static_cast<ushort>(event->count()));
            QCoreApplication::sendEvent(editor_, &copy);
        }
    }
}

void TaskGrid::focusCell(CellPos target) {
    beforeCellBecomesCurrent(target.col, target.row);
    closeEditor();
    current_.set(target);
    ensureVisible(target);
    viewport()->update();
}

// ---- mouse ----

bool TaskGrid::requestContextMenu(Qt::MouseButtons buttons) {
    if (!buttons.testFlag(Qt::RightButton)) {
        return false;
    }
    emit contextMenuRequested(QCursor::pos());
    return true;
}

void TaskGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    // Any press while the right button is held is for the menu, a left one included.
    if (requestContextMenu(event->buttons())) {
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (!isEditing()) {
        setFocus(Qt::MouseFocusReason);
    }
    const int border = columnBorderAt(pos);
    if (border >= 0) {
        emit userChangeStarted();
        resizingColumn_ = border;
        resizeGrabOffset_ = pos.x() - (columnLeft(border) + table_.columnWidth(border) -
                                       horizontalScrollBar()->value());
        return;
    }
    const auto cell = cellAt(pos);
    if (!cell || cell->row < table_.fixedRows()) {
        return;
    }
    const auto current = current_.cell();
    if (current && *current == *cell) {
        if (!isEditing()) {
            openEditor(EditorSelection::CaretAtEnd);
            editor_->setCursorPosition(
                editor_->cursorPositionAt(editor_->mapFrom(viewport(), pos)));
        }
    } else {
        focusCell(*cell);
    }
    onCellActivated();
}

void TaskGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (resizingColumn_ >= 0) {
        const int left = columnLeft(resizingColumn_) - horizontalScrollBar()->value();
        table_.setColumnWidth(resizingColumn_, std::max(0, pos.x() - resizeGrabOffset_ - left));
        return;
    }
    if (columnBorderAt(pos) >= 0) {
        viewport()->setCursor(Qt::SplitHCursor);
    } else {
        viewport()->unsetCursor();
    }
}

void TaskGrid::mouseReleaseEvent(QMouseEvent* /*event*/) {
    if (std::exchange(resizingColumn_, -1) >= 0) {
        emit userChangeFinished();
    }
    onMouseReleased();
}

void TaskGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click does not select or open anything of its own.
    if (requestContextMenu(event->buttons())) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        onDoubleClicked(event->position().toPoint());
    }
}

void TaskGrid::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    onWheelTurned();
    wheelRemainder_ += delta;
    while (wheelRemainder_ >= WheelNotch) {
        wheelRemainder_ -= WheelNotch;
        wheelStep(WheelStep::Up);
    }
    while (wheelRemainder_ <= -WheelNotch) {
        wheelRemainder_ += WheelNotch;
        wheelStep(WheelStep::Down);
    }
    event->accept();
}

void TaskGrid::wheelStep(WheelStep step) {
    const auto current = current_.cell();
    if (!current) {
        // Only reachable after the first wheel event of the run, when the red bar action has
        // cleared the current cell: the wheel then picks the first non-fixed cell, as any key
        // does with nothing current, and moves no further on this step.
        focusCell(CellPos{0, std::min(table_.fixedRows(), table_.rowCount() - 1)});
        onCellActivated();
        return;
    }
    CellPos target = *current;
    if (step == WheelStep::Down && current->row < table_.rowCount() - 1) {
        ++target.row;
    } else if (step == WheelStep::Up && current->row > table_.fixedRows()) {
        --target.row;
    } else {
        return;
    }
    focusCell(target);
    onCellActivated();
}

// ---- the handlers ----

void TaskGrid::copyCurrentCell() {
    const auto current = current_.cell();
    if (isEditing() || !current) {
        return;
    }
    if (const QString text = table_.cell(current->col, current->row); !text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

void TaskGrid::cutCurrentCell() {
    const auto current = current_.cell();
    if (isEditing() || !current) {
        return;
    }
    if (const QString text = table_.cell(current->col, current->row); !text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
        setCellByUser(*current, QString());
    }
}

void TaskGrid::pasteIntoCurrentCell() {
    if (isEditing()) {
        pasteIntoEditor();
        return;
    }
    const auto current = current_.cell();
    if (!current) {
        return;
    }
    // A clipboard without text (its owner has ended, it holds a picture) has nothing to paste,
    // and a paste of nothing never takes a task away.
    if (const QString text = withoutLineBreaks(QGuiApplication::clipboard()->text());
        !text.isEmpty()) {
        setCellByUser(*current, text);
    }
}

void TaskGrid::emptyCurrentCell() {
    if (const auto current = current_.cell(); current && !isEditing()) {
        setCellByUser(*current, QString());
    }
}

void TaskGrid::escape() {
    if (!isEditing()) {
        emit redBarActionRequested();
        return;
    }
    // Without a current cell the first non-fixed one becomes current, which ends editing.
    current_.clear();
    moveCurrentCell(Qt::Key_Escape, Qt::NoModifier);
}

void TaskGrid::setCellByUser(CellPos cell, const QString& text) {
    emit userChangeStarted();
    table_.setCell(cell.col, cell.row, text);
    emit userChangeFinished();
}

void TaskGrid::beforeCellBecomesCurrent(int col, int row) {
    const QString text = table_.cell(col, row);
    if (!text.isEmpty() && isBlank(text)) {
        table_.setCell(col, row, QString());
        emit blanksCleared(CellPos{col, row}, text);
    }
}

void TaskGrid::onCellActivated() {
    const auto current = current_.cell();
    if (!table_.captionsFixed() && current && current->row > 0 && table_.setCaptionsFixed(true)) {
        current_.set(CellPos{0, 1});
    }
    emit plusMinusButtonsRepaintRequested();
}

void TaskGrid::onDoubleClicked(QPoint viewportPos) {
    if (viewportPos.y() < DefaultRowHeight && table_.captionsFixed()) {
        emit fitColumnWidthsRequested();
    }
}

void TaskGrid::onMouseReleased() {
    emit plusMinusButtonsRepaintRequested();
}

void TaskGrid::onWheelTurned() {
    if (wheelUsed_) {
        return;
    }
    wheelUsed_ = true;
    // A table of only the caption row has no (0, 1); its first cell stands in.
    focusCell(CellPos{0, std::min(1, table_.rowCount() - 1)});
}

QString TaskGrid::withoutLineBreaks(const QString& text) {
    try {
        return pastedCellText(text);
    } catch (...) {
        reportException(errorContext::PasteText);
        // Better the text as it came than an empty one that would wipe the cell.
        return text;
    }
}

}  // namespace taskwick
