#include "storage/Rescue.h"

#include "storage/ListFile.h"

#include <QDir>

#include <cerrno>

namespace taskwick {

namespace {

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

}  // namespace

QStringList rescueFolders(const QString& xdgStateHome, const QString& home) {
    QStringList folders;
    // Relative paths in these variables do not count, as with every XDG folder variable.
    if (xdgStateHome.startsWith(QLatin1Char('/'))) {
        folders << withSlash(xdgStateHome) + QStringLiteral("taskwick/");
    } else if (home.startsWith(QLatin1Char('/'))) {
        folders << withSlash(home) + QStringLiteral(".local/state/taskwick/");
    }
    if (home.startsWith(QLatin1Char('/'))) {
        folders << withSlash(home);
    }
    return folders;
}

QStringList rescueFoldersOfUser() {
    return rescueFolders(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
}

Rescue::Rescue(FileOps& ops, QString listPath, QStringList folders)
    : ops_(ops), listPath_(std::move(listPath)), folders_(std::move(folders)) {}

KeptCopy Rescue::keep(const QByteArray& content, const QDateTime& now) {
    const QByteArray digest = listDigest(content);
    if (!path_.isEmpty() && digest == digest_) {
        return KeptCopy{0, path_};
    }
    const QString fileName = listPath_.mid(listPath_.lastIndexOf(QLatin1Char('/')) + 1);
    KeptCopy copy{ENOENT, {}};
    for (const QString& folder : folders_) {
        copy.error = ops_.makeFolders(folder);
        if (copy.error == 0) {
            copy = keepCopyBeside(ops_, folder + fileName, content, RescuedReason, now);
        }
        if (copy.ok()) {
            break;
        }
    }
    if (!copy.ok()) {
        // No folder of the user's takes it: the list's own folder may, when only the list
        // itself refuses (an immutable file, a folder in its place).
        copy = keepCopyBeside(ops_, listPath_, content, UnsavedReason, now);
    }
    if (copy.ok()) {
        discard();
        path_ = copy.path;
        digest_ = digest;
    }
    return copy;
}

void Rescue::discard() {
    if (!path_.isEmpty()) {
        ops_.remove(path_);
        path_.clear();
        digest_.clear();
    }
}

}  // namespace taskwick
