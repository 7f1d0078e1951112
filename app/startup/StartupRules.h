#pragma once

#include "storage/ToDoListLoader.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <optional>

namespace taskwick {

// The window's client size at start, and whenever a stored one is not taken.
inline constexpr QSize DefaultClientSize{370, 211};
// The narrowest client width of the window, the width of the folded bar. The platform imposes
// no minimum of its own; the window's minimum of 10 pixels yields a bar of 30.
inline constexpr int MinClientWidth = 30;
// A stored client height below this is not taken.
inline constexpr int MinStoredClientHeight = 50;

struct ScreenMetrics {
    QRect primaryScreen;   // the window is centred on this one
    QRect virtualDesktop;  // union of all screens; stored positions are tested against it
};
// The screens as the toolkit knows them; 1920 x 1080 where it knows none.
ScreenMetrics screenMetrics();

// First run: 40 pixels from the right edge of the primary screen, vertically centred with a
// half pixel rounded to even. The primary screen need not start at (0, 0) on X11.
QPoint firstRunPlacement(QRect primaryScreen, QSize window);

// Where a window of `windowSize` (its size before the load) goes for what its file stored:
// each stored edge that passes storedEdgeAccepted, the other edges centred on the primary
// screen; the stored width when it is at least `minClientWidth`, the stored height when it
// is at least MinStoredClientHeight, the default size otherwise. With nothing stored (the
// file's section failed) the window is centred at the default size.
QRect loadedPlacement(const std::optional<StoredWindow>& stored, QSize windowSize,
                      int minClientWidth, const ScreenMetrics& screens);

// True when the first argument after the program name is exactly "-m".
bool startHiddenRequested(const QStringList& arguments);

// Marker of the toolkit's standard texts: "ENGLISH" or "DEUTSCH" for the texts we know,
// otherwise the standard "&Yes" caption as the toolkit translates it.
QString standardTextsMarker(const QString& translatedYes);

}  // namespace taskwick
