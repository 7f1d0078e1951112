#pragma once

#include <QtGlobal>

namespace taskwick {

// The window frame's states. Only Full lays the frame out and resizes at the edges.
enum class FoldState : quint8 {
    Folded = 0,     // the window is the narrow bar
    Unfolding = 1,  // the unfold animation runs
    Full = 2,       // the full window is shown
    Folding = 3,    // the fold animation runs
    Starting = 4,   // until the window is set up
};

// Folding the window into a narrow bar at the same right edge, and back: the numbers of the
// animation, step by step, without any widget. Each tick moves the left edge by Step pixels
// and changes the width by as much, so the right edge stays put. Unfolding brings the full
// window back to where it stood before the fold, unless the bar was moved meanwhile: then it
// unfolds from the bar's right edge.
class FoldAnimation {
public:
    static constexpr int Step = 20;
    static constexpr int TickMs = 10;

    FoldState state() const { return state_; }
    bool isFull() const { return state_ == FoldState::Full; }
    // The full window's client width, kept while the window is folded or animating.
    int unfoldedClientWidth() const { return unfoldedClientWidth_; }

    // The window is set up: the full window is shown.
    void finishStarting() { state_ = FoldState::Full; }

    // The red bar's toggle. A full window starts folding to `barWidth`; in every other state
    // it starts unfolding, which also reverses a running fold. A toggle while unfolding
    // restarts the unfold toward the same end.
    void toggle(int left, int clientWidth, int barWidth);

    // Where the bar came to rest after the fold's last step, which the window may have moved
    // further in so that the bar lies on a screen.
    void barPlaced(int left);
    // Where the full window's left edge stands, or stands once unfolded, for the window now at
    // `left` with `clientWidth`.
    int unfoldedLeft(int left, int clientWidth) const;

    struct Tick {
        int left = 0;
        int clientWidth = 0;
        bool finished = false;  // the last step: the animation's state has ended
    };
    // One tick from the window's current left and client width: where the window goes. The
    // last step goes straight to the target, and the state becomes Folded or Full.
    // Outside an animation nothing moves.
    Tick tick(int left, int clientWidth);

private:
    FoldState state_ = FoldState::Starting;
    int unfoldedClientWidth_ = 0;
    int foldedFromLeft_ = 0;  // the full window's left edge when the fold began
    int barLeft_ = 0;         // where the bar came to rest
    int targetWidth_ = 0;
    int targetLeft_ = 0;
};

}  // namespace taskwick
