#include "storage/ListFile.h"

#include <QCryptographicHash>

#include <cerrno>

namespace taskwick {

QByteArray listDigest(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Blake2b_256);
}

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
    known_ = Version{true, listDigest(content)};
}

void ListFile::forget() {
    known_.reset();
}

void ListFile::rememberAbsent() {
    known_ = Version{};
}

bool ListFile::isKnownVersion(const QByteArray& content) const {
    return known_ && known_->exists && known_->digest == listDigest(content);
}

std::optional<QByteArray> ListFile::otherVersion(int* error) const {
    QByteArray content;
    const int readError = ops_.readAll(path_, &content);
    if (error) {
        *error = readError == ENOENT ? 0 : readError;
    }
    if (readError != 0 || isKnownVersion(content)) {
        return std::nullopt;  // no file holds nothing that could be lost
    }
    return content;
}

ListFile::SaveOutcome ListFile::save(const QByteArray& content, const QDateTime& now,
                                     OtherVersions others, const MergeableCheck& mergeable) {
    SaveOutcome outcome;
    const auto handsBack = [&](const QByteArray& other) {
        if (others == OtherVersions::HandBack && mergeable && mergeable(other)) {
            outcome.yielded = true;
            outcome.handedBack = other;
            return true;
        }
        return false;
    };
    // A version is newer than the program's only when the program knew what was there before;
    // one it never could read (forget) is merely not kept yet.
    if (!known_) {
        others = OtherVersions::KeepBeside;
    }
    int readError = 0;
    if (const std::optional<QByteArray> other = otherVersion(&readError); readError != 0) {
        outcome.result = saveFailure(SaveResult::Replace, readError);
        return outcome;
    } else if (other) {
        if (others == OtherVersions::Yield) {
            outcome.yielded = true;
            return outcome;
        }
        if (handsBack(*other)) {
            return outcome;
        }
        const KeptCopy copy = keepCopyBeside(ops_, path_, *other, ChangedReason, now);
        if (!copy.ok()) {
            outcome.result = saveFailure(SaveResult::TempFile, copy.error);
            return outcome;
        }
        outcome.keptChangedCopy = copy.path;
        // The kept bytes are safe; should the replace fail below, the next save must not
        // keep them a second time.
        remember(*other);
    }

    // A version that lands between the look above and the replace is the one displaced.
    int keepError = 0;
    const auto check = [&](const QByteArray& displaced) {
        if (isKnownVersion(displaced)) {
            return DisplacedVersion::Discard;
        }
        if (others == OtherVersions::Yield) {
            outcome.yielded = true;
            return DisplacedVersion::PutBack;
        }
        if (handsBack(displaced)) {
            return DisplacedVersion::PutBack;
        }
        const KeptCopy copy = keepCopyBeside(ops_, path_, displaced, ChangedReason, now);
        if (!copy.ok()) {
            keepError = copy.error;
            return DisplacedVersion::PutBack;
        }
        outcome.keptChangedCopy = copy.path;
        return DisplacedVersion::Discard;
    };
    outcome.result = replaceToDoListFile(ops_, appFolder_, content, check);
    if (keepError != 0) {
        outcome.result = saveFailure(SaveResult::TempFile, keepError);
    } else if (!outcome.result.displacedKeptAt.isEmpty()) {
        outcome.keptChangedCopy = outcome.result.displacedKeptAt;
    }
    if (outcome.result.ok() && !outcome.result.putBack) {
        remember(content);
    }
    return outcome;
}

}  // namespace taskwick
