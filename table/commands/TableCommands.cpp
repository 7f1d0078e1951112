#include "table/commands/TableCommands.h"

#include <algorithm>
#include <utility>

namespace taskwick {

namespace {

// Cuts the same characters that make a cell blank (everything up to U+0020), so that a
// cell counts as content exactly when something is left of it.
QString trimmedCell(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20) {
        ++begin;
    }
    while (end > begin && text[end - 1].unicode() <= 0x20) {
        --end;
    }
    return text.mid(begin, end - begin);
}

void appendContent(QString& list, const QString& cellText) {
    if (isBlank(cellText)) {
        return;
    }
    if (!list.isEmpty()) {
        list += QStringLiteral(", ");
    }
    list += trimmedCell(cellText);
}

}  // namespace

QString rowContentList(const TaskTable& table, int row) {
    QString list;
    for (int col = 0; col < table.colCount(); ++col) {
        appendContent(list, table.cell(col, row));
    }
    return list;
}

QString columnContentList(const TaskTable& table, int col) {
    QString list;
    for (int row = 0; row < table.rowCount(); ++row) {
        appendContent(list, table.cell(col, row));
    }
    return list;
}

TableCommands::TableCommands(TaskTable& table, CurrentCell& current, Language language,
                             AskYesNo askYesNo, FitColumns fitColumns)
    : table_(table),
      current_(current),
      texts_(textsFor(language)),
      askYesNo_(std::move(askYesNo)),
      fitColumns_(std::move(fitColumns)) {}

bool TableCommands::confirmed(const QString& question, const QString& content) const {
    if (content.isEmpty()) {
        return true;
    }
    // Without a way to ask, text is never thrown away.
    return askYesNo_ && askYesNo_(question + content, texts_.attentionTitle);
}

void TableCommands::addRow() {
    table_.setRowCount(table_.rowCount() + 1);
}

bool TableCommands::deleteLastRow() {
    const int last = table_.rowCount() - 1;
    if (!confirmed(texts_.deleteRowQuestion, rowContentList(table_, last))) {
        return false;
    }
    // Emptied first so that a row added later starts blank instead of showing these texts.
    table_.clearRow(last);
    table_.setRowCount(last);
    return true;
}

void TableCommands::addColumn() {
    const int last = table_.colCount() - 1;
    // A column of one pixel or less would give a negative width; the fitting below raises
    // every narrow column to its minimum anyway.
    const int width = std::max(table_.columnWidth(last) / 2 - 1, 0);
    table_.setColumnWidth(last, width);
    table_.setColCount(last + 2);
    const int added = last + 1;
    table_.clearColumn(added);
    table_.setColumnAlignment(added, Alignment::Left);
    table_.setColumnWidth(added, width);
    if (fitColumns_) {
        fitColumns_();
    }
}

bool TableCommands::deleteLastColumn() {
    const int last = table_.colCount() - 1;
    if (!confirmed(texts_.deleteColumnQuestion, columnContentList(table_, last))) {
        return false;
    }
    table_.clearColumn(last);
    table_.setColCount(last);
    if (fitColumns_) {
        fitColumns_();
    }
    return true;
}

bool TableCommands::alignCurrentColumn(Alignment alignment) {
    const auto current = current_.cell();
    if (!current) {
        return false;
    }
    table_.setColumnAlignment(current->col, alignment);
    return true;
}

void TableCommands::toggleCaptionsBold() {
    table_.setCaptionsBold(!table_.captionsBold());
}

void TableCommands::toggleGridLines() {
    table_.setDrawGridLines(!table_.drawGridLines());
}

void TableCommands::startCaptionEditing() {
    if (table_.captionsFixed()) {
        table_.setCaptionsFixed(false);
        current_.set(CellPos{0, 0});
    }
}

}  // namespace taskwick
