#pragma once

#include <functional>

namespace taskwick {

// When the X server goes away (it crashed, the session ended without a session manager),
// the toolkit ends the process with exit() from inside the event loop, and no close ever
// reaches the window. While an object of this class lives, such an exit first runs `save`
// on the GUI thread, where the window and its table are still intact since exit() does not
// unwind the stack. An exit from any other thread runs nothing: the GUI thread may be in the
// middle of a change there.
class UnexpectedExitSave {
public:
    explicit UnexpectedExitSave(std::function<void()> save);
    ~UnexpectedExitSave();
    UnexpectedExitSave(const UnexpectedExitSave&) = delete;
    UnexpectedExitSave& operator=(const UnexpectedExitSave&) = delete;
};

}  // namespace taskwick
