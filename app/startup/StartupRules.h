#pragma once

#include <QPoint>
#include <QSize>
#include <QStringList>

#include <cmath>

namespace taskwick {

// Rounds to the nearest integer, halves to the even neighbour (434.5 gives 434).
inline int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

// First run: near the right edge of the primary screen, vertically centred.
QPoint firstRunPlacement(QSize primaryScreen, QSize window);

// True when the first argument after the program name is exactly "-m".
bool startHiddenRequested(const QStringList& arguments);

// Marker of the toolkit's standard texts: "ENGLISH" or "DEUTSCH" for the texts we know,
// otherwise the standard "&Yes" caption as the toolkit translates it.
QString standardTextsMarker(const QString& translatedYes);

}  // namespace taskwick
