#include "platform/SingleInstance.h"

#include "platform/X11Windows.h"

namespace taskwick {

StartAction decideStart(SingleInstanceLock::Result lock,
                        const std::function<bool()>& showRunningInstance) {
    if (lock != SingleInstanceLock::Result::HeldByOther) {
        return StartAction::Run;
    }
    try {
        return showRunningInstance() ? StartAction::EndAfterShowing : StartAction::Run;
    } catch (...) {
        // A failed search must never keep the program from starting.
        return StartAction::Run;
    }
}

StartAction claimSingleInstance(SingleInstanceLock& lock) {
    return decideStart(lock.acquire(), [] {
        const auto window = x11::findRunningInstanceWindow();
        return window.has_value() && x11::requestShowWindow(*window);
    });
}

}  // namespace taskwick
