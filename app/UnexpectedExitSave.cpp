#include "app/UnexpectedExitSave.h"

#include <cstdlib>
#include <memory>
#include <thread>
#include <utility>

namespace taskwick {

namespace {

struct ArmedSave {
    std::function<void()> save;
    std::thread::id guiThread;
};

ArmedSave*& armedSave() {
    static ArmedSave* armed = nullptr;
    return armed;
}

void saveAtExit() {
    const std::unique_ptr<ArmedSave> armed(std::exchange(armedSave(), nullptr));
    if (!armed || std::this_thread::get_id() != armed->guiThread) {
        return;
    }
    try {
        armed->save();
    } catch (...) {
        // The process is ending; there is nobody left to tell.
    }
}

}  // namespace

UnexpectedExitSave::UnexpectedExitSave(std::function<void()> save) {
    static const bool registered = std::atexit(saveAtExit) == 0;
    if (registered) {
        delete std::exchange(armedSave(),
                             new ArmedSave{std::move(save), std::this_thread::get_id()});
    }
}

UnexpectedExitSave::~UnexpectedExitSave() {
    delete std::exchange(armedSave(), nullptr);
}

}  // namespace taskwick
