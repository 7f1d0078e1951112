#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace taskwick {

// The About dialog's outer size (its frame included) that its centring is computed with, and
// the client area inside the frame that shows the background picture.
inline constexpr QSize InfoDialogOuterSize{483, 456};
inline constexpr QSize InfoDialogClientSize{477, 413};

// value rounded to the nearest integer, a half going to the even neighbour: 718.5 gives 718,
// 719.5 gives 720, -0.5 gives 0. Results beyond the range of int are clamped to it; NaN gives 0.
int roundHalfToEven(double value);

// Where the dialog's frame goes on a screen: left = width / 2 - 483 / 2 and
// top = height / 2 - 456 / 2, each rounded half to even, plus the screen's origin.
QPoint infoDialogTopLeft(const QRect& screen);

}  // namespace taskwick
