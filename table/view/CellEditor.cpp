#include "table/view/CellEditor.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <limits>

namespace taskwick {

namespace {

bool matchesAny(const QKeyEvent* event, std::initializer_list<QKeySequence::StandardKey> keys) {
    return std::any_of(keys.begin(), keys.end(),
                       [event](QKeySequence::StandardKey key) { return event->matches(key); });
}

// Shift, Ctrl and the like, pressed on their way to a combination.
bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return true;
        default:
            return false;
    }
}

// Keys that move the cursor and carry the selection along.
bool extendsSelection(const QKeyEvent* event) {
    return matchesAny(event, {QKeySequence::SelectNextChar, QKeySequence::SelectPreviousChar,
                              QKeySequence::SelectNextWord, QKeySequence::SelectPreviousWord,
                              QKeySequence::SelectStartOfLine, QKeySequence::SelectEndOfLine,
                              QKeySequence::SelectStartOfDocument,
                              QKeySequence::SelectEndOfDocument, QKeySequence::SelectAll});
}

// Keys that replace the selection, whatever it is, with something or nothing.
bool replacesSelection(const QKeyEvent* event) {
    if (matchesAny(event, {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Delete,
                           QKeySequence::Backspace, QKeySequence::DeleteStartOfWord,
                           QKeySequence::DeleteEndOfWord})) {
        return true;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        return true;
    }
    // Ctrl together with Alt is AltGr on some systems, which types characters.
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() && ctrl == alt &&
           !(event->modifiers() & Qt::MetaModifier);
}

}  // namespace

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    // A line edit keeps 32767 characters unless told otherwise; a longer cell would lose its
    // end at the first keystroke.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::textEdited, this, &CellEditor::onPieceEdited);
    connect(this, &QLineEdit::selectionChanged, this, &CellEditor::onSelectionChanged);
    connect(this, &QLineEdit::cursorPositionChanged, this, &CellEditor::onCursorMoved);
}

qsizetype CellEditor::margin() const {
    // No character is narrower than half a pixel, so twice the width in characters is more
    // than ever shows on one side of the cursor.
    return 2 * qsizetype{std::max(width(), 0)} + 1024;
}

QString CellEditor::cellText() const {
    if (!isSplit()) {
        return text();
    }
    return before_ + text() + after_;
}

void CellEditor::setCellText(const QString& text, EditorSelection selection) {
    const qsizetype end = text.size();
    showAround(text, end, selection == EditorSelection::All ? 0 : end);
}

void CellEditor::followCellText(const QString& text) {
    const QStringView whole(text);
    const qsizetype pieceStart = before_.size();
    const qsizetype pieceEnd = pieceStart + QLineEdit::text().size();
    if (whole.size() == cellLength() && whole.left(pieceStart) == before_ &&
        whole.sliced(pieceStart, pieceEnd - pieceStart) == QLineEdit::text() &&
        whole.sliced(pieceEnd) == after_) {
        return;
    }
    setCellText(text, EditorSelection::CaretAtEnd);
}

void CellEditor::replaceKeepingLength(const QString& text) {
    const qsizetype cursor = before_.size() + cursorPosition();
    showAround(text, cursor, wholeAnchor());
}

void CellEditor::insertText(const QString& insertion) {
    if (!isSplit() && text().size() + insertion.size() <= WholeTextLimit) {
        insert(insertion);
        return;
    }
    // The line edit would lay out whatever it is given: a large insertion goes into the whole
    // text here, and the editor then shows the stretch around its end.
    const qsizetype cursor = before_.size() + cursorPosition();
    const qsizetype anchor = wholeAnchor();
    const qsizetype from = std::min(cursor, anchor);
    const QString whole = cellText();
    const QString result = whole.left(from) + insertion + whole.sliced(std::max(cursor, anchor));
    showAround(result, from + insertion.size(), from + insertion.size());
    emit cellTextEdited(result);
}

void CellEditor::dropSelection() {
    farAnchor_.reset();
    deselect();
}

void CellEditor::showAround(const QString& whole, qsizetype cursor, qsizetype anchor) {
    moving_ = true;
    qsizetype start = 0;
    qsizetype stop = whole.size();
    if (whole.size() > WholeTextLimit) {
        const qsizetype reach = 2 * margin();
        start = std::max<qsizetype>(0, cursor - reach);
        stop = std::min(whole.size(), cursor + reach);
        // Never between the two halves of a surrogate pair.
        if (start > 0 && whole.at(start).isLowSurrogate()) {
            --start;
        }
        if (stop < whole.size() && whole.at(stop).isLowSurrogate()) {
            ++stop;
        }
    }
    before_ = whole.first(start);
    after_ = whole.sliced(stop);
    const QString piece = whole.sliced(start, stop - start);
    setText(piece);
    pieceLength_ = piece.size();
    const int localCursor = int(cursor - start);
    if (anchor >= start && anchor <= stop) {
        farAnchor_.reset();
        const int localAnchor = int(anchor - start);
        setSelection(localAnchor, localCursor - localAnchor);
    } else {
        farAnchor_ = anchor;
        const int edge = anchor < start ? 0 : int(piece.size());
        setSelection(edge, localCursor - edge);
    }
    moving_ = false;
}

qsizetype CellEditor::wholeAnchor() const {
    if (farAnchor_) {
        return *farAnchor_;
    }
    const int cursor = cursorPosition();
    if (!hasSelectedText()) {
        return before_.size() + cursor;
    }
    return before_.size() + (selectionStart() == cursor ? selectionEnd() : selectionStart());
}

void CellEditor::moveTo(qsizetype position, bool keepAnchor) {
    showAround(cellText(), position, keepAnchor ? wholeAnchor() : position);
}

QString CellEditor::selectedCellText() const {
    if (!farAnchor_) {
        return selectedText();
    }
    const qsizetype cursor = before_.size() + cursorPosition();
    const qsizetype from = std::min(cursor, *farAnchor_);
    return cellText().sliced(from, std::max(cursor, *farAnchor_) - from);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    if (farAnchor_ && !isModifierKey(event->key()) && !extendsSelection(event) &&
        !replacesSelection(event) && !event->matches(QKeySequence::Copy)) {
        // Any other key lets go of the selection, as the line edit lets go of its own.
        farAnchor_.reset();
    }
    if (event->matches(QKeySequence::Paste)) {
        // Through insertText, which keeps a large paste out of the line edit; a paste of
        // nothing leaves the selection where it is.
        if (const QString pasted = QGuiApplication::clipboard()->text(); !pasted.isEmpty()) {
            insertText(pasted);
        }
        event->accept();
        return;
    }
    const bool large = isSplit() || text().size() > WholeTextLimit;
    if (!large) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The keys that reach beyond the piece work on the whole text.
    if (matchesAny(event, {QKeySequence::MoveToStartOfLine, QKeySequence::MoveToStartOfDocument,
                           QKeySequence::SelectStartOfLine, QKeySequence::SelectStartOfDocument})) {
        moveTo(0, event->modifiers() & Qt::ShiftModifier);
    } else if (matchesAny(event,
                          {QKeySequence::MoveToEndOfLine, QKeySequence::MoveToEndOfDocument,
                           QKeySequence::SelectEndOfLine, QKeySequence::SelectEndOfDocument})) {
        moveTo(cellLength(), event->modifiers() & Qt::ShiftModifier);
    } else if (event->matches(QKeySequence::SelectAll)) {
        showAround(cellText(), cellLength(), 0);
    } else if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)) {
        const QString selected = selectedCellText();
        if (!selected.isEmpty()) {
            QGuiApplication::clipboard()->setText(selected);
            if (event->matches(QKeySequence::Cut)) {
                insertText(QString());
            }
        }
    } else {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CellEditor::mousePressEvent(QMouseEvent* event) {
    if (!(event->modifiers() & Qt::ShiftModifier)) {
        farAnchor_.reset();  // a plain press puts the cursor down and lets go of the selection
    }
    QLineEdit::mousePressEvent(event);
}

void CellEditor::dropEvent(QDropEvent* event) {
    farAnchor_.reset();  // a drop goes in where it lands, leaving the selection be
    QLineEdit::dropEvent(event);
}

void CellEditor::onPieceEdited() {
    if (moving_) {
        return;
    }
    if (farAnchor_) {
        // The selection ran on past the piece, and the edit replaced all of it.
        if (*farAnchor_ < before_.size()) {
            before_.truncate(*farAnchor_);
        } else {
            after_.remove(0, *farAnchor_ - (before_.size() + pieceLength_));
        }
        farAnchor_.reset();
    }
    pieceLength_ = text().size();
    emit cellTextEdited(cellText());
}

void CellEditor::onSelectionChanged() {
    if (moving_ || !farAnchor_) {
        return;
    }
    // The selection still runs on past the piece while the line edit's own selection starts
    // at the piece's end on that side.
    const int edge = *farAnchor_ < before_.size() ? 0 : int(text().size());
    const int cursor = cursorPosition();
    const bool fromEdge =
        hasSelectedText() ? (cursor == selectionStart() ? selectionEnd() : selectionStart()) == edge
                          : cursor == edge;
    if (!fromEdge) {
        farAnchor_.reset();
    }
}

void CellEditor::onCursorMoved() {
    if (moving_ || movePending_) {
        return;
    }
    // Moved along once the line edit is done with the change that moved the cursor.
    movePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            movePending_ = false;
            const qsizetype cursor = cursorPosition();
            const qsizetype length = text().size();
            const qsizetype keep = margin();
            const bool nearStart = !before_.isEmpty() && cursor < keep;
            const bool nearEnd = !after_.isEmpty() && length - cursor < keep;
            const bool tooLong = length > WholeTextLimit && length > 6 * keep;
            if (nearStart || nearEnd || tooLong) {
                showAround(cellText(), before_.size() + cursor, wholeAnchor());
            }
        },
        Qt::QueuedConnection);
}

}  // namespace taskwick
