#pragma once

#include <QRect>

namespace taskwick {

// Where every frame component goes for a client area of W x H. The picture frame is 30
// pixels thick on every side; the task table fills the inside.
struct FrameLayout {
    QRect grid;
    QRect redBar;
    QRect top, right, bottom;
    QRect topRight, bottomRight;  // the 250 x 100 corner boxes
    QRect leftZoomCorner, rightZoomCorner;
    QRect exitIcon, shrinkIcon, minimizeIcon;
    QRect logo;
    QRect plusRow, minusRow, plusColumn, minusColumn;
};

// Sizes below zero (a client area under 60 pixels) are clamped to zero, so no component is
// ever given a size that is not a real size.
FrameLayout computeFrameLayout(int clientWidth, int clientHeight, bool skinFrameLoaded);

}  // namespace taskwick
