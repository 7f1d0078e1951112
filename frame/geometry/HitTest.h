#pragma once

#include <QPoint>
#include <QSize>
#include <Qt>

namespace taskwick {

// What a point of the borderless window does under the mouse: the thin strips along its
// edges and the two bottom corner squares resize it, everything else is its ordinary area.
enum class FrameHit {
    Client,
    TopLeft,
    TopRight,
    Top,
    Left,
    Bottom,
    Right,
    BottomLeft,
    BottomRight,
};

inline constexpr int ResizeEdgeThickness = 4;
inline constexpr int ResizeCornerSize = 30;  // the bottom corner squares

// The region of a window `window` large that holds `point` (window coordinates), tested in a
// fixed order so that the outer 4 pixels of a bottom square resize along one axis only.
FrameHit hitTestFrame(QPoint point, QSize window);

// The window edges a hit resizes; none for Client.
Qt::Edges edgesOf(FrameHit hit);
Qt::CursorShape cursorOf(FrameHit hit);

}  // namespace taskwick
