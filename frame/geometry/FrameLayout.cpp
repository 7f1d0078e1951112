#include "frame/geometry/FrameLayout.h"

#include <algorithm>

namespace taskwick {

namespace {
int realSize(int value) {
    return std::max(0, value);
}
}  // namespace

FrameLayout computeFrameLayout(int w, int h, bool skinFrameLoaded) {
    FrameLayout l;
    // Each value below follows the chain of the components before it; the comments give
    // the result in W and H.
    const int tableWidth = w - 60;
    const int tableHeight = h - 60;
    l.grid = QRect(30, 30, realSize(tableWidth), realSize(tableHeight));
    l.redBar = QRect(0, 30, 30, realSize(tableHeight));
    l.top = QRect(0, 0, realSize(tableWidth + 60), 30);
    const int rightLeft = tableWidth + 30;  // W - 30
    l.right = QRect(rightLeft, 30, skinFrameLoaded ? 180 : 30, realSize(tableHeight));
    const int bottomTop = tableHeight + 30;  // H - 30
    l.bottom = QRect(0, bottomTop, realSize(w), 30);
    l.topRight = QRect(rightLeft - 70, 0, 250, 100);
    l.bottomRight = QRect(rightLeft - 70, bottomTop - 70, 250, 100);
    l.leftZoomCorner = QRect(0, bottomTop, 30, 30);
    l.rightZoomCorner = QRect(rightLeft, bottomTop, 30, 30);
    l.exitIcon = QRect(rightLeft + 7, 7, 16, 16);
    l.shrinkIcon = QRect(l.exitIcon.left() - 40, 7, 16, 16);
    l.minimizeIcon = QRect(l.exitIcon.left() - 20, 7, 16, 16);
    l.logo = QRect(0, 0, 250, 30);
    // Integer division truncating toward zero, as the layout has always computed it.
    const int middle = w / 2;
    l.plusRow = QRect(middle - 11, bottomTop - 5, 9, 9);
    l.minusRow = QRect(middle, bottomTop - 5, 9, 9);
    const int tableMiddle = tableHeight / 2 + 30;
    l.plusColumn = QRect(rightLeft - 5, tableMiddle - 5, 9, 9);
    l.minusColumn = QRect(rightLeft - 5, tableMiddle + 4, 9, 9);
    return l;
}

}  // namespace taskwick
