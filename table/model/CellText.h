#pragma once

#include <QString>

namespace taskwick {

// CR and LF each become a space, so the text keeps its length.
QString lineBreaksToSpaces(QString text);

// Text as it may enter a cell from a paste: every CR and every LF becomes a space (a CR LF
// pair two spaces), then trailing characters up to U+0020 go. Leading ones stay.
QString pastedCellText(const QString& text);

}  // namespace taskwick
