#include "frame/geometry/FrameLayout.h"

#include <gtest/gtest.h>

using namespace taskwick;

TEST(FrameLayout, defaultWindowWithoutSkin) {
    const FrameLayout l = computeFrameLayout(370, 211, false);
    EXPECT_EQ(l.grid, QRect(30, 30, 310, 151));
    EXPECT_EQ(l.redBar, QRect(0, 30, 30, 151));
    EXPECT_EQ(l.top, QRect(0, 0, 370, 30));
    EXPECT_EQ(l.right, QRect(340, 30, 30, 151));
    EXPECT_EQ(l.bottom, QRect(0, 181, 370, 30));
    EXPECT_EQ(l.topRight.topLeft(), QPoint(270, 0));
    EXPECT_EQ(l.bottomRight.topLeft(), QPoint(270, 111));
    EXPECT_EQ(l.leftZoomCorner, QRect(0, 181, 30, 30));
    EXPECT_EQ(l.rightZoomCorner, QRect(340, 181, 30, 30));
    // shrink, minimise, exit from left to right, 20 pixels apart
    EXPECT_EQ(l.shrinkIcon.topLeft(), QPoint(307, 7));
    EXPECT_EQ(l.minimizeIcon.topLeft(), QPoint(327, 7));
    EXPECT_EQ(l.exitIcon.topLeft(), QPoint(347, 7));
    EXPECT_EQ(l.plusRow, QRect(174, 176, 9, 9));
    EXPECT_EQ(l.minusRow, QRect(185, 176, 9, 9));
    EXPECT_EQ(l.plusColumn, QRect(335, 100, 9, 9));
    EXPECT_EQ(l.minusColumn, QRect(335, 109, 9, 9));
}

TEST(FrameLayout, oddWidthTruncatesTheMiddle_andSkinWidensOnlyTheRightStrip) {
    const FrameLayout odd = computeFrameLayout(371, 211, false);
    EXPECT_EQ(odd.plusRow.left(), 174);
    EXPECT_EQ(odd.minusRow.left(), 185);

    const FrameLayout skinned = computeFrameLayout(370, 211, true);
    EXPECT_EQ(skinned.right, QRect(340, 30, 180, 151));
    EXPECT_EQ(skinned.grid, QRect(30, 30, 310, 151));
}

TEST(FrameLayout, clientAreaBelowSixtyGivesEmptyNotNegativeSizes) {
    const FrameLayout l = computeFrameLayout(30, 30, false);
    EXPECT_EQ(l.grid.size(), QSize(0, 0));
    EXPECT_EQ(l.redBar.height(), 0);
    EXPECT_EQ(l.right.height(), 0);
    // The top strip spans the table and the red bar beside it: here the 30 pixels left.
    EXPECT_EQ(l.top, QRect(0, 0, 30, 30));
}
