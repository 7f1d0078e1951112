#include "info/InfoPlacement.h"

#include <cmath>
#include <limits>

namespace taskwick {

int roundHalfToEven(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        rounded = below + 1.0;
    }
    if (rounded <= std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    if (rounded >= std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(rounded);
}

QPoint infoDialogTopLeft(const QRect& screen) {
    const int left = roundHalfToEven(screen.width() / 2.0 - InfoDialogOuterSize.width() / 2.0);
    const int top = roundHalfToEven(screen.height() / 2.0 - InfoDialogOuterSize.height() / 2.0);
    return screen.topLeft() + QPoint(left, top);
}

}  // namespace taskwick
