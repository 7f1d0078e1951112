// Where the About dialog goes: the rounding of the half pixel and the centring on a screen.
#include "info/InfoPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace taskwick;

TEST(InfoPlacement, roundHalfToEven_takesTheEvenNeighbourOfAHalfOnly) {
    const struct {
        double value;
        int rounded;
    } table[] = {
        {718.5, 718}, {719.5, 720}, {0.5, 0},     {1.5, 2},   {2.5, 2},     {-0.5, 0},
        {-1.5, -2},   {-2.5, -2},   {312.0, 312}, {2.49, 2},  {2.51, 3},    {-2.49, -2},
        {-2.51, -3},  {0.0, 0},     {-0.0, 0},    {7.999, 8}, {-7.001, -7},
    };
    for (const auto& row : table) {
        EXPECT_EQ(roundHalfToEven(row.value), row.rounded) << row.value;
    }
}

TEST(InfoPlacement, roundHalfToEven_clampsToTheRangeOfInt) {
    EXPECT_EQ(roundHalfToEven(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(roundHalfToEven(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(roundHalfToEven(std::numeric_limits<double>::infinity()),
              std::numeric_limits<int>::max());
    EXPECT_EQ(roundHalfToEven(std::nan("")), 0);
}

TEST(InfoPlacement, topLeft_centresTheOuterSizeAndAddsTheScreensOrigin) {
    const struct {
        QRect screen;
        QPoint topLeft;
    } table[] = {
        {{0, 0, 1920, 1080}, {718, 312}},  // 718.5 goes down to the even 718
        {{0, 0, 800, 600}, {158, 72}},     // 158.5 goes down
        {{0, 0, 1366, 768}, {442, 156}},   // 441.5 goes up
        {{0, 0, 1280, 1024}, {398, 284}},
        {{0, 0, 1281, 1025}, {399, 284}},  // 399.0 and 284.5
        {{1920, 0, 1280, 1024}, {2318, 284}},
        {{-1024, -200, 1024, 768}, {-754, -44}},  // 270.5 goes down, 156 exact
        {{0, 0, 400, 300}, {-42, -78}},           // a screen smaller than the dialog
    };
    for (const auto& row : table) {
        EXPECT_EQ(infoDialogTopLeft(row.screen), row.topLeft)
            << row.screen.x() << "," << row.screen.y() << " " << row.screen.width() << "x"
            << row.screen.height();
    }
}
