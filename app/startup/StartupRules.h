#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

namespace taskwick {

// First run: 40 pixels from the right edge of the primary screen, vertically centred with a
// half pixel rounded to even. The primary screen need not start at (0, 0) on X11.
QPoint firstRunPlacement(QRect primaryScreen, QSize window);

// True when the first argument after the program name is exactly "-m".
bool startHiddenRequested(const QStringList& arguments);

// Marker of the toolkit's standard texts: "ENGLISH" or "DEUTSCH" for the texts we know,
// otherwise the standard "&Yes" caption as the toolkit translates it.
QString standardTextsMarker(const QString& translatedYes);

}  // namespace taskwick
