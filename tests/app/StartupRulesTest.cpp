#include "app/startup/StartupRules.h"

#include <gtest/gtest.h>

using namespace taskwick;

TEST(StartupRules, firstRunPlacement_nearRightEdge_halvesRoundToEven) {
    EXPECT_EQ(firstRunPlacement({0, 0, 1920, 1080}, {370, 211}), QPoint(1510, 434));  // 434.5
    EXPECT_EQ(firstRunPlacement({0, 0, 1366, 768}, {370, 211}), QPoint(956, 278));    // 278.5
    EXPECT_EQ(firstRunPlacement({0, 0, 1366, 769}, {370, 211}), QPoint(956, 279));
    EXPECT_EQ(firstRunPlacement({0, 0, 1920, 1080}, {370, 212}), QPoint(1510, 434));
    // A primary screen right of another one.
    EXPECT_EQ(firstRunPlacement({1280, 100, 1920, 1080}, {370, 211}), QPoint(2790, 534));
}

TEST(StartupRules, startHidden_onlyForExactMinusMAsFirstArgument) {
    EXPECT_TRUE(startHiddenRequested({"taskwick", "-m"}));
    EXPECT_TRUE(startHiddenRequested({"taskwick", "-m", "ignored"}));
    EXPECT_FALSE(startHiddenRequested({"taskwick"}));
    EXPECT_FALSE(startHiddenRequested({"taskwick", "-M"}));
    EXPECT_FALSE(startHiddenRequested({"taskwick", "/m"}));
    EXPECT_FALSE(startHiddenRequested({"taskwick", " -m"}));
    EXPECT_FALSE(startHiddenRequested({"taskwick", "-m "}));
    EXPECT_FALSE(startHiddenRequested({"taskwick", "x", "-m"}));
}

TEST(StartupRules, standardTextsMarker) {
    EXPECT_EQ(standardTextsMarker("&Yes"), "ENGLISH");
    EXPECT_EQ(standardTextsMarker("&Ja"), "DEUTSCH");
    EXPECT_EQ(standardTextsMarker("&Oui"), "&Oui");
}
