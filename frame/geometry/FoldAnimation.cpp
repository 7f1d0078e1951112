#include "frame/geometry/FoldAnimation.h"

namespace taskwick {

void FoldAnimation::toggle(int left, int clientWidth, int barWidth) {
    if (state_ == FoldState::Full) {
        unfoldedClientWidth_ = clientWidth;
        targetWidth_ = barWidth;
        targetLeft_ = left + clientWidth - targetWidth_;
        state_ = FoldState::Folding;
        return;
    }
    targetWidth_ = unfoldedClientWidth_;
    targetLeft_ = left - (unfoldedClientWidth_ - clientWidth);
    state_ = FoldState::Unfolding;
}

FoldAnimation::Tick FoldAnimation::tick(int left, int clientWidth) {
    switch (state_) {
        case FoldState::Folding:
            if (clientWidth > targetWidth_ + Step) {
                return {left + Step, clientWidth - Step, false};
            }
            state_ = FoldState::Folded;
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
