#pragma once

#include "platform/SingleInstanceLock.h"

#include <functional>

namespace taskwick {

enum class StartAction {
    Run,              // go on starting, as the only instance or beside one that was not found
    EndAfterShowing,  // the running instance's window was asked to show itself: end with 0
};

// What the single-instance rule asks of the system.
struct InstanceProbe {
    // Takes the instance lock, or says who has it.
    std::function<SingleInstanceLock::Result()> takeLock;
    // Looks for the running instance's main window and asks it to show itself; true when the
    // request went out.
    std::function<bool()> showRunningInstance;
    std::function<void(int milliseconds)> sleep;
};

// How long a start waits for the window of an instance that holds the lock. Many starts at
// once (a double click too many, a session restoring its programs) would otherwise each find
// the lock taken but the first one's window not made yet, and run beside it on the same list.
inline constexpr int WindowPatienceMs = 5000;
inline constexpr int WindowPollMs = 50;

// The single-instance rule, apart from how the lock is taken and the window is found:
// a process that takes the lock, or cannot make one, runs. One that finds the lock taken
// looks for the other instance's window and ends once that window was asked to show itself.
// While no such window is there yet it keeps looking for up to `patienceMs`, and takes the
// lock itself should the other process let go of it meanwhile. A holder that shows no window
// in that time (hung, or not a Taskwick at all) is run beside, and so is any failure of the
// search.
StartAction decideStart(const InstanceProbe& probe, int patienceMs = WindowPatienceMs,
                        int pollMs = WindowPollMs);

// The rule on this desktop: takes `lock` ("ToDoMutex-" and the display, so that a start on
// another display of the same user runs at once) and, when another process holds it, looks
// for its window on the X display. Needs the QGuiApplication, which opens the display; it
// must not have created a window yet.
StartAction claimSingleInstance(SingleInstanceLock& lock, int patienceMs = WindowPatienceMs);

}  // namespace taskwick
