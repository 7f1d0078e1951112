#pragma once

#include <QObject>

#include <functional>
#include <thread>

namespace taskwick {

// Gives the memory of freed whole-list buffers back to the system; well under a millisecond
// when little is free.
void releaseFreedMemory();

// One piece of work at a time on a thread of its own, told back on the thread that owns this
// object: what the list's keeper does with whole lists (building and writing a save, reading
// and merging another version) while the window goes on answering.
class BackgroundJob : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Waits for the work under way.
    ~BackgroundJob() override;

    // Runs `work` on a thread of its own, or here when the system gives no thread (a thread
    // or memory limit), and says `finished` from this object's thread once it is done. The
    // work before must have been waited for.
    void start(std::function<void()> work);
    bool isRunning() const { return running_; }
    // Waits for the work under way; false when none ran (or its end was waited for already).
    // Work waited for before it was told says nothing more.
    bool wait();

signals:
    void finished();

private:
    std::thread thread_;
    bool running_ = false;
    quint64 generation_ = 0;
};

}  // namespace taskwick
