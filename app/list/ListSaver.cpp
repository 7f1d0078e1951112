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
    : QObject(parent), file_(file), rescue_(rescue), state_(state) {
    connect(&job_, &BackgroundJob::finished, this, &ListSaver::finished);
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

void ListSaver::startSave(std::function<ToDoListData()> build, OtherVersions others) {
    job_.start([this, build = std::move(build), others] {
        SaveAttempt attempt;
        std::optional<ToDoListData> data;
        try {
            data = build();
        } catch (...) {
            attempt.outcome.result.step = SaveResult::BuildDocument;
        }
        if (data) {
            attempt = save(*data, others);
        }
        finished_ = std::move(attempt);
    });
}

std::optional<SaveAttempt> ListSaver::takeFinished() {
    if (!job_.wait()) {
        return std::nullopt;
    }
    return std::exchange(finished_, std::nullopt);
}

}  // namespace taskwick
