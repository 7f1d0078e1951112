#include "storage/ListFile.h"

#include <QCryptographicHash>

#include <cerrno>

namespace taskwick {

QByteArray listDigest(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Blake2b_256);
}

ListFile::ListFile(FileOps& ops, QString appFolder)
    : ops_(ops), appFolder_(std::move(appFolder)), path_(appFolder_ + ToDoListFileName) {}

std::optional<ListFile::Identity> ListFile::Identity::of(const PathStatus& status) {
    constexpr qint64 NsPerSecond = 1'000'000'000;
    // A time in whole seconds (a file system without finer times) cannot tell two writes
    // within one second apart.
    if (!status.exists || status.inode == 0 || status.modifiedNs % NsPerSecond == 0) {
        return std::nullopt;
    }
    return Identity{status.device, status.inode, status.size, status.modifiedNs};
}

int ListFile::readWithIdentity(QByteArray* content, std::optional<Identity>* identity) const {
    PathStatus before, after;
    const bool statusBefore = ops_.statusFollowingLinks(path_, &before) == 0;
    const int error = ops_.readAll(path_, content);
    identity->reset();
    if (error == 0 && statusBefore && ops_.statusFollowingLinks(path_, &after) == 0) {
        if (const auto was = Identity::of(before); was && was == Identity::of(after)) {
            *identity = was;
        }
    }
    return error;
}

int ListFile::read(QByteArray* content) {
    std::optional<Identity> identity;
    const int error = readWithIdentity(content, &identity);
    if (error == 0) {
        remember(*content, identity);
    }
    return error;
}

void ListFile::remember(const QByteArray& content) {
    const QByteArray digest = listDigest(content);
    known_ = Version{true, digest, lastRead_.digest == digest ? lastRead_.identity : std::nullopt};
}

void ListFile::remember(const QByteArray& content, std::optional<Identity> identity) {
    known_ = Version{true, listDigest(content), identity};
    lastRead_ = *known_;
}

bool ListFile::unchangedSinceKnown() const {
    if (!known_ || !known_->exists || !known_->identity) {
        return false;
    }
    PathStatus status;
    return ops_.statusFollowingLinks(path_, &status) == 0 &&
           Identity::of(status) == known_->identity;
}

void ListFile::forget() {
    known_.reset();
}

void ListFile::rememberAbsent() {
    known_ = Version{};
}

bool ListFile::isKnownVersion(const QByteArray& content) const {
    return isKnownDigest(listDigest(content));
}

std::optional<QByteArray> ListFile::otherVersion(int* error) const {
    QByteArray content;
    std::optional<Identity> identity;
    const int readError = readWithIdentity(&content, &identity);
    if (error) {
        *error = readError == ENOENT ? 0 : readError;
    }
    if (readError == 0) {
        lastRead_ = Version{true, listDigest(content), identity};
    }
    if (readError != 0 || (known_ && known_->exists && known_->digest == lastRead_.digest)) {
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
        remember(content, Identity::of(outcome.result.written));
    }
    return outcome;
}

}  // namespace taskwick
