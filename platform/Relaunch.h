#pragma once

namespace taskwick {

// Starts the running executable again as a new process, without arguments, in the current
// folder, and returns at once whether it could be started. No shell is involved.
bool relaunchSelf();

}  // namespace taskwick
