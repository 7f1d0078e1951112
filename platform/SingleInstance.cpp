#include "platform/SingleInstance.h"

#include "platform/X11Windows.h"

#include <QThread>

namespace taskwick {

namespace {

bool shownSafely(const InstanceProbe& probe) {
    try {
        return probe.showRunningInstance();
    } catch (...) {
        return false;  // a failed search must never keep the program from starting
    }
}

}  // namespace

StartAction decideStart(const InstanceProbe& probe, int patienceMs, int pollMs) {
    if (probe.takeLock() != SingleInstanceLock::Result::HeldByOther) {
        return StartAction::Run;
    }
    for (int waited = 0;; waited += pollMs) {
        if (shownSafely(probe)) {
            return StartAction::EndAfterShowing;
        }
        if (waited >= patienceMs) {
            return StartAction::Run;
        }
        probe.sleep(pollMs);
        if (probe.takeLock() != SingleInstanceLock::Result::HeldByOther) {
            return StartAction::Run;  // the other instance went away meanwhile
        }
    }
}

StartAction claimSingleInstance(SingleInstanceLock& lock, int patienceMs) {
    InstanceProbe probe{
        .takeLock =
            [&lock] {
                return lock.acquire(
                    SingleInstanceLock::nameForDisplay(qEnvironmentVariable("DISPLAY")));
            },
        .showRunningInstance =
            [] {
                const auto window = x11::findRunningInstanceWindow();
                return window.has_value() && x11::requestShowWindow(*window);
            },
        .sleep = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); },
    };
    return decideStart(probe, patienceMs);
}

}  // namespace taskwick
