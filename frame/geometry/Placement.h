#pragma once

#include <QtGlobal>

namespace taskwick {

// A stored window edge is kept only while it lies more than this many pixels before the
// desktop's far edge, so that a grip of the window always stays reachable.
inline constexpr int PlacementEdgeMargin = 10;

// n / 2 rounded to the nearest integer, a half going to the even neighbour (869 / 2 gives 434).
int halfRoundedToEven(qint64 n);

// The edge (left or top) that centres a window `windowSize` long on a screen that starts at
// `screenStart` and is `screenSize` long.
int centredEdge(int screenStart, int screenSize, int windowSize);

// True when a stored edge may be used as it is: at least one pixel of a window `windowSize`
// long lies past the desktop's start, and the edge lies more than the margin before the
// desktop's end. Both comparisons are strict; the window may start partly off the desktop.
bool storedEdgeAccepted(int edge, int desktopStart, int desktopSize, int windowSize);

}  // namespace taskwick
