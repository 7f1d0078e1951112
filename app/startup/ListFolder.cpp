#include "app/startup/ListFolder.h"

#include "storage/FileOps.h"
#include "storage/ToDoListSaver.h"

#include <QDir>
#include <QUuid>

#include <cerrno>

namespace taskwick {

namespace {

QString withSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool isRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Makes a file in `folder` under a save's temporary name and removes it; returns the errno
// value of making it, 0 when it could be made.
int tryMakingFile(FileOps& ops, const QString& folder) {
    const QString probe =
        folder + TempFilePrefix + QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
    int fd = -1;
    const int error = ops.createExclusive(probe, 0600, &fd);
    if (error == 0) {
        ops.close(fd);
        ops.remove(probe);
    }
    return error;
}

}  // namespace

QString userDataFolder(const QString& xdgDataHome, const QString& home) {
    // Relative paths in these variables do not count, as with every XDG folder variable.
    if (xdgDataHome.startsWith(QLatin1Char('/'))) {
        return withSlash(xdgDataHome) + QStringLiteral("taskwick/");
    }
    if (home.startsWith(QLatin1Char('/'))) {
        return withSlash(home) + QStringLiteral(".local/share/taskwick/");
    }
    return {};
}

QString userDataFolderOfUser() {
    return userDataFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

QString chooseListFolder(FileOps& ops, const QString& programFolder, const QString& dataFolder) {
    if (dataFolder.isEmpty() || !isRefusal(tryMakingFile(ops, programFolder))) {
        return programFolder;
    }
    ops.makeFolders(dataFolder);
    return dataFolder;
}

}  // namespace taskwick
