// The numbers of the borderless frame: which point resizes, where a move snaps, how a drag of
// an edge resizes, and every step of folding to the bar and back.
#include "frame/geometry/FoldAnimation.h"
#include "frame/geometry/HitTest.h"
#include "frame/geometry/WindowMoves.h"

#include <QRect>

#include <gtest/gtest.h>

#include <vector>

using namespace taskwick;

TEST(HitTest, pointsOfA370x211Window) {
    const QSize window(370, 211);
    const struct {
        QPoint point;
        FrameHit hit;
    } cases[] = {
        {{2, 2}, FrameHit::TopLeft},         {{368, 2}, FrameHit::TopRight},
        {{100, 3}, FrameHit::Top},           {{100, 4}, FrameHit::Client},
        {{3, 100}, FrameHit::Left},          {{100, 208}, FrameHit::Bottom},
        {{367, 100}, FrameHit::Right},       {{10, 190}, FrameHit::BottomLeft},
        {{2, 190}, FrameHit::Left},          {{10, 209}, FrameHit::Bottom},
        {{350, 190}, FrameHit::BottomRight}, {{339, 190}, FrameHit::Client},
        {{369, 210}, FrameHit::Bottom},      {{4, 4}, FrameHit::Client},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hitTestFrame(c.point, window), c.hit) << c.point.x() << "," << c.point.y();
    }
    EXPECT_EQ(edgesOf(FrameHit::BottomRight), Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(edgesOf(FrameHit::Client), Qt::Edges{});
    EXPECT_EQ(cursorOf(FrameHit::BottomLeft), Qt::SizeBDiagCursor);
    EXPECT_EQ(cursorOf(FrameHit::Client), Qt::ArrowCursor);
}

TEST(Snapping, nineSnapsTenDoesNot_laterRulesWin_andZeroStays) {
    const QRect work(0, 0, 1920, 1050);  // a panel takes the bottom 30 pixels
    const QSize size(370, 211);
    EXPECT_EQ(snappedToWorkArea({9, 300}, size, work), QPoint(0, 300));
    EXPECT_EQ(snappedToWorkArea({10, 300}, size, work), QPoint(10, 300));
    EXPECT_EQ(snappedToWorkArea({-9, 300}, size, work), QPoint(0, 300));
    EXPECT_EQ(snappedToWorkArea({500, 9}, size, work), QPoint(500, 0));
    EXPECT_EQ(snappedToWorkArea({1920 - 370 - 9, 300}, size, work), QPoint(1550, 300));
    EXPECT_EQ(snappedToWorkArea({1920 - 370 - 10, 300}, size, work), QPoint(1540, 300));
    EXPECT_EQ(snappedToWorkArea({500, 1050 - 211 + 9}, size, work), QPoint(500, 839));
    EXPECT_EQ(snappedToWorkArea({0, 0}, size, work), QPoint(0, 0));

    // A window as wide as the work area: the right edge's rule comes later and wins.
    EXPECT_EQ(snappedToWorkArea({5, 300}, QSize(1915, 211), work), QPoint(5, 300));
    EXPECT_EQ(snappedToWorkArea({3, 300}, QSize(1925, 211), work), QPoint(-5, 300));

    // A work area that does not start at the origin (a second screen, a panel on the left).
    const QRect right(1920, 40, 1280, 984);
    EXPECT_EQ(snappedToWorkArea({1925, 45}, size, right), QPoint(1920, 40));
    // Its right and bottom edges are its own, not the first screen's: 1920 + 1280 - 370.
    EXPECT_EQ(snappedToWorkArea({2830 - 9, 500}, size, right), QPoint(2830, 500));
    EXPECT_EQ(snappedToWorkArea({2830 - 10, 500}, size, right), QPoint(2820, 500));
    EXPECT_EQ(snappedToWorkArea({2000, 40 + 984 - 211 + 9}, size, right), QPoint(2000, 813));
}

TEST(ResizeByEdges, followsTheDraggedEdgesDownToTenByTen_thenTheFrameRaisesToThirty) {
    const QRect start(100, 100, 370, 211);
    EXPECT_EQ(resizedByEdges(start, Qt::BottomEdge | Qt::RightEdge, {30, -11}),
              QRect(100, 100, 400, 200));
    EXPECT_EQ(resizedByEdges(start, Qt::LeftEdge, {-20, 50}), QRect(80, 100, 390, 211));
    EXPECT_EQ(resizedByEdges(start, Qt::RightEdge, {-355, 0}), QRect(100, 100, 15, 211));
    EXPECT_EQ(resizedByEdges(start, Qt::RightEdge, {-500, 0}), QRect(100, 100, 10, 211));
    EXPECT_EQ(resizedByEdges(start, Qt::TopEdge | Qt::LeftEdge, {500, 500}),
              QRect(460, 301, 10, 10));
    EXPECT_EQ(raisedToFrameMinimum({15, 211}), QSize(30, 211));
    EXPECT_EQ(raisedToFrameMinimum({10, 10}), QSize(30, 30));
    EXPECT_EQ(raisedToFrameMinimum({370, 211}), QSize(370, 211));
}

namespace {

std::vector<FoldAnimation::Tick> runToEnd(FoldAnimation& fold, int left, int width) {
    std::vector<FoldAnimation::Tick> ticks;
    for (int guard = 0; guard < 100; ++guard) {
        const FoldAnimation::Tick t = fold.tick(left, width);
        ticks.push_back(t);
        left = t.left;
        width = t.clientWidth;
        if (t.finished) {
            break;
        }
    }
    return ticks;
}

}  // namespace

TEST(FoldAnimation, foldsIn17TicksWithTheRightEdgeFixed_andUnfoldsBackIn17) {
    FoldAnimation fold;
    EXPECT_EQ(fold.state(), FoldState::Starting);
    fold.finishStarting();
    const int left = 1000;
    fold.toggle(left, 370, 30);
    EXPECT_EQ(fold.state(), FoldState::Folding);
    EXPECT_EQ(fold.unfoldedClientWidth(), 370);

    const auto folding = runToEnd(fold, left, 370);
    ASSERT_EQ(folding.size(), 17u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(folding[i].left, left + 20 * int(i + 1)) << i;
        EXPECT_EQ(folding[i].left + folding[i].clientWidth, left + 370) << i;
        EXPECT_FALSE(folding[i].finished);
    }
    EXPECT_EQ(folding[15].clientWidth, 50);
    EXPECT_EQ(folding[16].left, left + 340);
    EXPECT_EQ(folding[16].clientWidth, 30);
    EXPECT_TRUE(folding[16].finished);
    EXPECT_EQ(fold.state(), FoldState::Folded);
    EXPECT_EQ(fold.tick(left + 340, 30).clientWidth, 30);  // nothing moves once folded

    fold.toggle(left + 340, 30, 30);
    EXPECT_EQ(fold.state(), FoldState::Unfolding);
    const auto unfolding = runToEnd(fold, left + 340, 30);
    ASSERT_EQ(unfolding.size(), 17u);
    EXPECT_EQ(unfolding[15].clientWidth, 350);
    EXPECT_EQ(unfolding[15].left, left + 20);
    EXPECT_EQ(unfolding[16].left, left);
    EXPECT_EQ(unfolding[16].clientWidth, 370);
    EXPECT_EQ(fold.state(), FoldState::Full);
}

TEST(FoldAnimation, aToggleInMidFoldReverses_andOneInMidUnfoldKeepsTheEnd) {
    FoldAnimation fold;
    fold.finishStarting();
    fold.toggle(1000, 370, 30);
    int left = 1000;
    int width = 370;
    while (width > 210) {
        const auto t = fold.tick(left, width);
        left = t.left;
        width = t.clientWidth;
    }
    ASSERT_EQ(width, 210);
    fold.toggle(left, width, 30);
    EXPECT_EQ(fold.state(), FoldState::Unfolding);
    const auto back = runToEnd(fold, left, width);
    EXPECT_EQ(back.back().left, 1000);
    EXPECT_EQ(back.back().clientWidth, 370);

    fold.toggle(1000, 370, 30);
    runToEnd(fold, 1000, 370);
    fold.toggle(1340, 30, 30);
    const auto step = fold.tick(1340, 30);
    fold.toggle(step.left, step.clientWidth, 30);  // restarts the unfold: same end
    const auto rest = runToEnd(fold, step.left, step.clientWidth);
    EXPECT_EQ(rest.back().left, 1000);
    EXPECT_EQ(rest.back().clientWidth, 370);
}

// A bar that the window brought further in (to lie on a screen) unfolds to where the full
// window stood; one moved after that unfolds from its own right edge.
TEST(FoldAnimation, aBarBroughtInUnfoldsWhereTheWindowStood_aMovedOneFromItsRightEdge) {
    FoldAnimation fold;
    fold.finishStarting();
    fold.toggle(1600, 370, 30);
    EXPECT_EQ(fold.unfoldedLeft(1700, 270), 1600);  // folding: the right edge holds
    EXPECT_EQ(runToEnd(fold, 1600, 370).back().left, 1940);
    fold.barPlaced(1890);  // in on the screen that held the window
    EXPECT_EQ(fold.unfoldedLeft(1890, 30), 1600);
    fold.toggle(1890, 30, 30);
    const auto unfolding = runToEnd(fold, 1890, 30);
    EXPECT_EQ(unfolding.front().left, 1870);  // the bar's right edge holds until the last step
    EXPECT_EQ(unfolding.back().left, 1600);
    EXPECT_EQ(unfolding.back().clientWidth, 370);

    fold.toggle(1600, 370, 30);
    runToEnd(fold, 1600, 370);
    fold.barPlaced(1890);
    EXPECT_EQ(fold.unfoldedLeft(1700, 30), 1360);  // moved away from where it was put
    fold.toggle(1700, 30, 30);
    EXPECT_EQ(runToEnd(fold, 1700, 30).back().left, 1360);
}

TEST(Screens, theScreenHoldingMostOfAWindow_theFirstOnATie_noneWhenOffEveryScreen) {
    const std::vector<QRect> sideBySide{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
    EXPECT_EQ(screenHoldingMost(QRect(1600, 300, 370, 211), sideBySide), 0u);
    EXPECT_EQ(screenHoldingMost(QRect(1750, 300, 370, 211), sideBySide), 1u);
    EXPECT_EQ(screenHoldingMost(QRect(1735, 300, 370, 211), sideBySide), 0u);  // 185 each
    EXPECT_EQ(screenHoldingMost(QRect(5000, 300, 370, 211), sideBySide), std::nullopt);
    // A smaller screen beside a larger one: the area counts, not the width.
    const std::vector<QRect> unequal{QRect(0, 0, 1920, 1080), QRect(1920, 900, 800, 600)};
    EXPECT_EQ(screenHoldingMost(QRect(1700, 850, 400, 200), unequal), 0u);
}
