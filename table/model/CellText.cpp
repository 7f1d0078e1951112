#include "table/model/CellText.h"

#include <algorithm>

namespace taskwick {

QString lineBreaksToSpaces(QString text) {
    const auto isBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    // Looked for first: writing into a shared text copies it, and a cell of megabytes is
    // typed into a keystroke at a time.
    if (std::none_of(text.cbegin(), text.cend(), isBreak)) {
        return text;
    }
    std::replace_if(text.begin(), text.end(), isBreak, QLatin1Char(' '));
    return text;
}

QString pastedCellText(const QString& text) {
    QString result;
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
        // One pass over the text, which may be megabytes: a CR LF pair is one line break, as
        // most programs end their lines.
        result.resize(text.size());
        const QChar* in = text.constData();
        const QChar* const end = in + text.size();
        QChar* out = result.data();
        while (in != end) {
            const QChar c = *in++;
            if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                if (c == QLatin1Char('\r') && in != end && *in == QLatin1Char('\n')) {
                    ++in;
                }
                *out++ = QLatin1Char(' ');
            } else {
                *out++ = c;
            }
        }
        result.truncate(out - result.constData());
    } else {
        result = text;  // shared, not copied
    }
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
