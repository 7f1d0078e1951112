#include "frame/geometry/HitTest.h"

#include <QRect>

#include <array>
#include <utility>

namespace taskwick {

FrameHit hitTestFrame(QPoint point, QSize window) {
    const int w = window.width();
    const int h = window.height();
    constexpr int e = ResizeEdgeThickness;
    constexpr int c = ResizeCornerSize;
    // (left, top, right, bottom), right and bottom excluded; the first that holds the point wins.
    const std::array<std::pair<QRect, FrameHit>, 8> regions{{
        {QRect(QPoint(0, 0), QPoint(e - 1, e - 1)), FrameHit::TopLeft},
        {QRect(QPoint(w - e, 0), QPoint(w - 1, e - 1)), FrameHit::TopRight},
        {QRect(QPoint(0, 0), QPoint(w - 1, e - 1)), FrameHit::Top},
        {QRect(QPoint(0, 0), QPoint(e - 1, h - 1)), FrameHit::Left},
        {QRect(QPoint(0, h - e), QPoint(w - 1, h - 1)), FrameHit::Bottom},
        {QRect(QPoint(w - e, 0), QPoint(w - 1, h - 1)), FrameHit::Right},
        {QRect(QPoint(0, h - c), QPoint(c - 1, h - 1)), FrameHit::BottomLeft},
        {QRect(QPoint(w - c, h - c), QPoint(w - 1, h - 1)), FrameHit::BottomRight},
    }};
    for (const auto& [region, hit] : regions) {
        if (region.contains(point)) {
            return hit;
        }
    }
    return FrameHit::Client;
}

Qt::Edges edgesOf(FrameHit hit) {
    switch (hit) {
        case FrameHit::TopLeft:
            return Qt::TopEdge | Qt::LeftEdge;
        case FrameHit::TopRight:
            return Qt::TopEdge | Qt::RightEdge;
        case FrameHit::Top:
            return Qt::TopEdge;
        case FrameHit::Left:
            return Qt::LeftEdge;
        case FrameHit::Bottom:
            return Qt::BottomEdge;
        case FrameHit::Right:
            return Qt::RightEdge;
        case FrameHit::BottomLeft:
            return Qt::BottomEdge | Qt::LeftEdge;
        case FrameHit::BottomRight:
            return Qt::BottomEdge | Qt::RightEdge;
        case FrameHit::Client:
            break;
    }
    return {};
}

Qt::CursorShape cursorOf(FrameHit hit) {
    switch (hit) {
        case FrameHit::TopLeft:
        case FrameHit::BottomRight:
            return Qt::SizeFDiagCursor;
        case FrameHit::TopRight:
        case FrameHit::BottomLeft:
            return Qt::SizeBDiagCursor;
        case FrameHit::Top:
        case FrameHit::Bottom:
            return Qt::SizeVerCursor;
        case FrameHit::Left:
        case FrameHit::Right:
            return Qt::SizeHorCursor;
        case FrameHit::Client:
            break;
    }
    return Qt::ArrowCursor;
}

}  // namespace taskwick
