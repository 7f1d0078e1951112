#include "frame/geometry/Placement.h"

#include <algorithm>
#include <limits>

namespace taskwick {

namespace {

int clampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

}  // namespace

int halfRoundedToEven(qint64 n) {
    // Floor division first: C++ division truncates towards zero, which would round negative
    // halves the wrong way.
    qint64 q = n >= 0 ? n / 2 : -((-n + 1) / 2);
    if (n % 2 != 0 && q % 2 != 0) {
        ++q;
    }
    return clampToInt(q);
}

int centredEdge(int screenStart, int screenSize, int windowSize) {
    return clampToInt(qint64{screenStart} +
                      halfRoundedToEven(qint64{screenSize} - qint64{windowSize}));
}

bool storedEdgeAccepted(int edge, int desktopStart, int desktopSize, int windowSize) {
    const qint64 e = edge;
    return qint64{desktopStart} - windowSize < e &&
           e < qint64{desktopStart} + desktopSize - PlacementEdgeMargin;
}

}  // namespace taskwick
