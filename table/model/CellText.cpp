#include "table/model/CellText.h"

#include <algorithm>

namespace taskwick {

QString lineBreaksToSpaces(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

QString pastedCellText(const QString& text) {
    QString result = lineBreaksToSpaces(text);
    qsizetype end = result.size();
    while (end > 0 && result.at(end - 1).unicode() <= 0x20) {
        --end;
    }
    result.truncate(end);
    return result;
}

QString visibleCellText(const QString& text, int cellWidth, TextSide side) {
    const qsizetype keep = 2 * qsizetype{std::max(cellWidth, 0)} + 64;
    if (text.size() <= keep) {
        return text;
    }
    switch (side) {
        case TextSide::Left:
            return text.left(keep);
        case TextSide::Right:
            return text.right(keep);
        case TextSide::Middle:
            break;
    }
    if (text.size() <= MaxWholeCentredText) {
        return text;
    }
    return text.mid((text.size() - keep) / 2, keep);
}

}  // namespace taskwick
