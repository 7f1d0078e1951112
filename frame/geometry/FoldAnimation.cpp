#include "frame/geometry/FoldAnimation.h"

namespace taskwick {

void FoldAnimation::toggle(int left, int clientWidth, int barWidth) {
    if (state_ == FoldState::Full) {
        unfoldedClientWidth_ = clientWidth;
        foldedFromLeft_ = left;
        targetWidth_ = barWidth;
        targetLeft_ = left + clientWidth - targetWidth_;
        state_ = FoldState::Folding;
        return;
    }
    targetLeft_ = unfoldedLeft(left, clientWidth);
    targetWidth_ = unfoldedClientWidth_;
    state_ = FoldState::Unfolding;
}

void FoldAnimation::barPlaced(int left) {
    barLeft_ = left;
}

int FoldAnimation::unfoldedLeft(int left, int clientWidth) const {
    switch (state_) {
        case FoldState::Folded:
            if (left == barLeft_) {
                return foldedFromLeft_;
            }
            break;  // the bar was moved: its right edge is the window's
        case FoldState::Folding:
            break;
        case FoldState::Unfolding:
            return targetLeft_;
        case FoldState::Full:
        case FoldState::Starting:
            return left;
    }
    return left - (unfoldedClientWidth_ - clientWidth);
}

FoldAnimation::Tick FoldAnimation::tick(int left, int clientWidth) {
    switch (state_) {
        case FoldState::Folding:
            if (clientWidth > targetWidth_ + Step) {
                return {left + Step, clientWidth - Step, false};
            }
            state_ = FoldState::Folded;
            barLeft_ = targetLeft_;
            return {targetLeft_, targetWidth_, true};
        case FoldState::Unfolding:
            if (clientWidth < targetWidth_ - Step) {
                return {left - Step, clientWidth + Step, false};
            }
            state_ = FoldState::Full;
            return {targetLeft_, targetWidth_, true};
        case FoldState::Folded:
        case FoldState::Full:
        case FoldState::Starting:
            break;
    }
    return {left, clientWidth, false};
}

}  // namespace taskwick
