#pragma once

#include "platform/SingleInstanceLock.h"

#include <functional>

namespace taskwick {

enum class StartAction {
    Run,              // go on starting, as the only instance or beside one that was not found
    EndAfterShowing,  // the running instance's window was asked to show itself: end with 0
};

// The single-instance rule, apart from how the lock is taken and the window is found:
// a process that holds the lock, or cannot make one, runs without looking for another window.
// One that finds the lock taken asks showRunningInstance() to find the running instance's main
// window and ask it to show itself. Only when that request went out does this process end;
// when no window was found (the other instance has not made its window yet, or is just going
// away), or the search failed in any way, it runs beside the other one.
StartAction decideStart(SingleInstanceLock::Result lock,
                        const std::function<bool()>& showRunningInstance);

// The rule on this desktop: takes `lock` ("ToDoMutex") and, when another process holds it,
// looks for its window on the X display. Needs the QGuiApplication, which opens the display;
// it must not have created a window yet.
StartAction claimSingleInstance(SingleInstanceLock& lock);

}  // namespace taskwick
