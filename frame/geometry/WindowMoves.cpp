#include "frame/geometry/WindowMoves.h"

#include <algorithm>
#include <cstdlib>

namespace taskwick {

QPoint snappedToWorkArea(QPoint topLeft, QSize size, const QRect& workArea) {
    if (topLeft == QPoint(0, 0)) {
        return topLeft;
    }
    int left = topLeft.x();
    int top = topLeft.y();
    const int areaRight = workArea.x() + workArea.width();
    const int areaBottom = workArea.y() + workArea.height();
    if (std::abs(left - workArea.x()) < SnapDistance) {
        left = workArea.x();
    }
    if (std::abs(top - workArea.y()) < SnapDistance) {
        top = workArea.y();
    }
    if (std::abs(left + size.width() - areaRight) < SnapDistance) {
        left = areaRight - size.width();
    }
    if (std::abs(top + size.height() - areaBottom) < SnapDistance) {
        top = areaBottom - size.height();
    }
    return {left, top};
}

QPoint keptInside(QPoint topLeft, QSize size, const QRect& workArea) {
    const int left =
        std::max(std::min(topLeft.x(), workArea.right() + 1 - size.width()), workArea.left());
    const int top =
        std::max(std::min(topLeft.y(), workArea.bottom() + 1 - size.height()), workArea.top());
    return {left, top};
}

std::optional<std::size_t> screenHoldingMost(const QRect& window,
                                             const std::vector<QRect>& screens) {
    std::optional<std::size_t> most;
    qint64 mostArea = 0;
    for (std::size_t i = 0; i < screens.size(); ++i) {
        const QRect common = window.intersected(screens[i]);
        const qint64 area = qint64{common.width()} * common.height();
        if (area > mostArea) {
            most = i;
            mostArea = area;
        }
    }
    return most;
}

QRect resizedByEdges(const QRect& start, Qt::Edges edges, QPoint delta) {
    int left = start.x();
    int top = start.y();
    int right = start.x() + start.width();
    int bottom = start.y() + start.height();
    if (edges & Qt::LeftEdge) {
        left = std::min(left + delta.x(), right - MinTrackWidth);
    }
    if (edges & Qt::RightEdge) {
        right = std::max(right + delta.x(), left + MinTrackWidth);
    }
    if (edges & Qt::TopEdge) {
        top = std::min(top + delta.y(), bottom - MinTrackHeight);
    }
    if (edges & Qt::BottomEdge) {
        bottom = std::max(bottom + delta.y(), top + MinTrackHeight);
    }
    return {left, top, right - left, bottom - top};
}

QSize raisedToFrameMinimum(QSize size) {
    return {std::max(size.width(), MinFrameSize), std::max(size.height(), MinFrameSize)};
}

}  // namespace taskwick
