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

TEST(StartupRules, loadedPlacement_testsEachStoredEdgeStrictlyAgainstTheDesktop) {
    const ScreenMetrics screens{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    const QSize before = DefaultClientSize;
    struct Case {
        int left, top, wantLeft, wantTop;
    };
    const Case cases[] = {
        {5000, 100, 775, 100},                             // right of a 1920 desktop: centred
        {-300, 100, -300, 100},                            // partly off-screen, accepted
        {-369, -210, -369, -210}, {-370, -211, 775, 434},  // no pixel on the desktop
        {1909, 1069, 1909, 1069}, {1910, 1070, 775, 434},  // within 10 pixels of the far edge
        {-1, -1, -1, -1},  // what an unparsable number reads as passes the test
    };
    for (const Case& c : cases) {
        const QRect place =
            loadedPlacement(StoredWindow{c.left, c.top, 370, 211}, before, 30, screens);
        EXPECT_EQ(place.topLeft(), QPoint(c.wantLeft, c.wantTop)) << c.left << "," << c.top;
    }

    // The test and the centring use the window's size before the load, not the stored one.
    const QRect small =
        loadedPlacement(StoredWindow{-99, 5000, 800, 600}, QSize(100, 50), 30, screens);
    EXPECT_EQ(small, QRect(-99, 515, 800, 600));

    // A desktop that starts left of the primary screen; centring is on the primary screen.
    const ScreenMetrics two{QRect(1280, 0, 1920, 1080), QRect(0, 0, 3200, 1080)};
    EXPECT_EQ(loadedPlacement(StoredWindow{5000, 100, 370, 211}, before, 30, two).x(), 1280 + 775);
    EXPECT_EQ(loadedPlacement(StoredWindow{50, 100, 370, 211}, before, 30, two).x(), 50);
}

TEST(StartupRules, loadedPlacement_centresWithHalvesToEven_andTakesOnlyBigEnoughSizes) {
    // (screen - 370) / 2: 434.5 -> 434, 435.5 -> 436, -35, -34.5 -> -34, -35.5 -> -36.
    const std::pair<int, int> widths[] = {
        {1239, 434}, {1241, 436}, {300, -35}, {301, -34}, {299, -36}};
    for (const auto& [screenWidth, wantLeft] : widths) {
        const ScreenMetrics screens{QRect(0, 0, screenWidth, 1080), QRect(0, 0, 1920, 1080)};
        EXPECT_EQ(
            loadedPlacement(StoredWindow{99999, 10, 370, 211}, DefaultClientSize, 30, screens).x(),
            wantLeft)
            << screenWidth;
    }
    const ScreenMetrics screens{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080)};
    const auto sizeFor = [&](int width, int height) {
        return loadedPlacement(StoredWindow{10, 10, width, height}, DefaultClientSize, 30, screens)
            .size();
    };
    EXPECT_EQ(sizeFor(20, 49), QSize(370, 211));
    EXPECT_EQ(sizeFor(30, 50), QSize(30, 50));
    EXPECT_EQ(sizeFor(-1, -1), QSize(370, 211));

    // Nothing stored (the section failed): centred at the default size, on the screen that
    // is primary. (1239 - 370) / 2 = 434.5 -> 434, (1000 - 211) / 2 = 394.5 -> 394.
    const ScreenMetrics small{QRect(0, 0, 1239, 1000), QRect(0, 0, 1239, 1000)};
    EXPECT_EQ(loadedPlacement(std::nullopt, DefaultClientSize, 30, small),
              QRect(434, 394, 370, 211));
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
