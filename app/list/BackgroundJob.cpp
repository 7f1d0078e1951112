#include "app/list/BackgroundJob.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <memory>
#include <system_error>
#include <utility>

namespace taskwick {

void releaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

BackgroundJob::~BackgroundJob() {
    wait();
}

void BackgroundJob::start(std::function<void()> work) {
    wait();
    running_ = true;
    const quint64 generation = ++generation_;
    const auto job =
        std::make_shared<std::function<void()>>([this, work = std::move(work), generation] {
            work();
            // The work's whole-list buffers are free now: their memory goes back to the system
            // rather than staying with this thread's heap.
            releaseFreedMemory();
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    // Work whose end was waited for already (a close) says nothing.
                    if (generation == generation_ && running_) {
                        emit finished();
                    }
                },
                Qt::QueuedConnection);
        });
    try {
        thread_ = std::thread([job] { (*job)(); });
    } catch (const std::system_error&) {
        (*job)();
    }
}

bool BackgroundJob::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
    return std::exchange(running_, false);
}

}  // namespace taskwick
