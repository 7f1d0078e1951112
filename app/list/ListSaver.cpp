#include "app/list/ListSaver.h"

#include "storage/ToDoListLoader.h"
#include "storage/XmlWriter.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <system_error>
#include <utility>

namespace taskwick {

namespace {

bool readsAsList(const QByteArray& content) {
    TaskTable scratch;
    return loadListContent(content, scratch);
}

}  // namespace

ListSaver::ListSaver(ListFile& file, Rescue& rescue, ListState& state, QObject* parent)
    : QObject(parent), file_(file), rescue_(rescue), state_(state) {}

ListSaver::~ListSaver() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

SaveAttempt ListSaver::save(const ToDoListData& data, OtherVersions others) {
    SaveAttempt attempt;
    QByteArray content;
    try {
        content = writeToDoList(data);
    } catch (...) {
        attempt.outcome.result.step = SaveResult::BuildDocument;
        return attempt;
    }
    const QDateTime now = QDateTime::currentDateTime();
    // Nothing that differs from the disk, nothing written: a sync tool sees no new version.
    if (file_.isKnownVersion(content)) {
        rescue_.discard();
        return attempt;
    }
    attempt.outcome = file_.save(content, now, others, readsAsList);
    if (attempt.outcome.result.ok()) {
        rescue_.discard();  // the list holds the tasks again
        if (!attempt.outcome.yielded && !attempt.outcome.result.putBack) {
            attempt.wrote = true;
            state_.writeBase(content);
        }
    } else {
        attempt.rescue = rescue_.keep(content, now);
        if (attempt.rescue->ok()) {
            state_.recordRescue(attempt.rescue->path);
        }
    }
    return attempt;
}

void ListSaver::startSave(ToDoListData data, OtherVersions others) {
    if (thread_.joinable()) {
        thread_.join();
    }
    saving_ = true;
    const quint64 generation = ++generation_;
    const auto job =
        std::make_shared<std::function<void()>>([this, data = std::move(data), others, generation] {
            SaveAttempt attempt = save(data, others);
            {
                const std::lock_guard lock(finishedMutex_);
                finished_ = std::move(attempt);
            }
            QMetaObject::invokeMethod(
                this, [this, generation] { onFinished(generation); }, Qt::QueuedConnection);
        });
    try {
        thread_ = std::thread([job] { (*job)(); });
    } catch (const std::system_error&) {
        // No thread to be had (a thread or memory limit): the save runs here instead, so that
        // it ends all the same.
        (*job)();
    }
}

void ListSaver::onFinished(quint64 generation) {
    // A save whose outcome was taken already (by a close that waited for it) says nothing.
    if (generation == generation_ && saving_) {
        emit finished();
    }
}

std::optional<SaveAttempt> ListSaver::takeFinished() {
    if (!saving_) {
        return std::nullopt;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    saving_ = false;
    const std::lock_guard lock(finishedMutex_);
    return std::exchange(finished_, std::nullopt);
}

}  // namespace taskwick
