#include "storage/ListFile.h"

#include <QCryptographicHash>

#include <cerrno>

namespace taskwick {

namespace {

QByteArray digestOf(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Blake2b_256);
}

}  // namespace

ListFile::ListFile(FileOps& ops, QString appFolder)
    : ops_(ops), appFolder_(std::move(appFolder)), path_(appFolder_ + ToDoListFileName) {}

int ListFile::read(QByteArray* content) {
    const int error = ops_.readAll(path_, content);
    if (error == 0) {
        remember(*content);
    }
    return error;
}

void ListFile::remember(const QByteArray& content) {
    PathStatus st;
    if (ops_.statusFollowingLinks(path_, &st) != 0) {
        forget();
        return;
    }
    known_ = Version{true, st.size, st.modifiedNs, digestOf(content)};
}

void ListFile::forget() {
    known_.reset();
}

void ListFile::rememberAbsent() {
    known_ = Version{};
}

bool ListFile::isKnownVersion(const QByteArray& content) const {
    return known_ && known_->exists && known_->digest == digestOf(content);
}

int ListFile::checkForeignVersion(bool* isForeign, QByteArray* foreign) const {
    *isForeign = false;
    PathStatus st;
    const int statError = ops_.statusFollowingLinks(path_, &st);
    if (statError == ENOENT) {
        return 0;  // nothing there that could be lost
    }
    if (statError != 0) {
        return statError;
    }
    const bool knownExists = known_ && known_->exists;
    if (knownExists && st.size == known_->size && st.modifiedNs == known_->modifiedNs) {
        return 0;
    }
    // Size or time differ: only the content can tell a touched file from a changed one.
    if (const int readError = ops_.readAll(path_, foreign); readError != 0) {
        return readError;
    }
    *isForeign = !knownExists || digestOf(*foreign) != known_->digest;
    return 0;
}

ListFile::SaveOutcome ListFile::save(const QByteArray& content, const QDateTime& now) {
    SaveOutcome outcome;
    bool isForeign = false;
    QByteArray foreign;
    if (const int error = checkForeignVersion(&isForeign, &foreign); error != 0) {
        outcome.result = saveFailure(SaveResult::Replace, error);
        return outcome;
    }
    if (isForeign) {
        const KeptCopy copy = keepCopyBeside(ops_, path_, foreign, ChangedReason, now);
        if (!copy.ok()) {
            outcome.result = saveFailure(SaveResult::TempFile, copy.error);
            return outcome;
        }
        outcome.keptChangedCopy = copy.path;
        // The kept bytes are safe; should the replace fail below, the next save must not
        // keep them a second time.
        remember(foreign);
    }
    outcome.result = replaceToDoListFile(ops_, appFolder_, content);
    if (outcome.result.ok()) {
        remember(content);
    }
    return outcome;
}

}  // namespace taskwick
