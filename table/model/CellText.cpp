#include "table/model/CellText.h"

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

}  // namespace taskwick
