#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include <cstddef>
#include <optional>
#include <vector>

namespace taskwick {

// A window closer than this to an edge of the work area is put flush against it.
inline constexpr int SnapDistance = 10;
// The smallest window the user can drag an edge to; afterwards the frame raises it to 30 x 30.
inline constexpr int MinTrackWidth = 10;
inline constexpr int MinTrackHeight = 10;
inline constexpr int MinFrameSize = 30;

// Where a window of `size` that is about to move to `topLeft` really goes: within 9 pixels of
// an edge of the work area it snaps to that edge; the rules run left, top, right, bottom, and a
// later one wins. A move to (0, 0) is left alone.
QPoint snappedToWorkArea(QPoint topLeft, QSize size, const QRect& workArea);

// Where a window of `size` at `topLeft` goes to lie wholly inside `workArea`, moved as little as
// needed; one larger than the area keeps its top-left corner inside it.
QPoint keptInside(QPoint topLeft, QSize size, const QRect& workArea);

// Which of `screens` holds the largest part of `window`: the first of them when two hold as
// much, none when the window lies on none of them.
std::optional<std::size_t> screenHoldingMost(const QRect& window,
                                             const std::vector<QRect>& screens);

// The window after dragging `edges` by `delta` from `start`, never smaller than
// MinTrackWidth x MinTrackHeight; a left or top edge stops where that minimum is reached.
QRect resizedByEdges(const QRect& start, Qt::Edges edges, QPoint delta);

// The size the frame raises a smaller window to once the user has let go of it.
QSize raisedToFrameMinimum(QSize size);

}  // namespace taskwick
