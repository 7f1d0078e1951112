#pragma once

#include <QString>

namespace taskwick {

// CR and LF each become a space, so the text keeps its length.
QString lineBreaksToSpaces(QString text);

// Text as it may enter a cell from a paste: every line break becomes one space (a CR LF pair,
// a lone CR and a lone LF alike), then trailing characters up to U+0020 go. Leading ones stay.
QString pastedCellText(const QString& text);

// The part of a cell's text that can show in a cell `cellWidth` pixels wide, for the side it
// is aligned to. Drawing a text of a million characters would otherwise shape all of them at
// every paint. No character is narrower than half a pixel, so a text aligned left or right
// is cut well outside the cell and shows exactly as the whole text would. A centred text is
// kept whole up to MaxWholeCentredText characters; a longer one is cut around its middle
// character, which lies near, not exactly at, its middle pixel (the toolkit cannot lay out
// such a line exactly either).
enum class TextSide { Left, Middle, Right };
inline constexpr qsizetype MaxWholeCentredText = 20000;
QString visibleCellText(const QString& text, int cellWidth, TextSide side);

}  // namespace taskwick
