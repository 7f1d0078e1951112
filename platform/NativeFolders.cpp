#include "platform/NativeFolders.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace taskwick {

std::vector<QByteArray> subfolderNames(const QString& folder) {
    std::vector<QByteArray> names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        return names;
    }
    const int dirFd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        // stat follows links, so a link counts by what it leads to; a loop or a dangling link
        // fails here and is left out.
        struct stat info {};
        if (fstatat(dirFd, entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode)) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

QString displayName(const QByteArray& name) {
    return QString::fromUtf8(name);
}

bool isTextName(const QByteArray& name) {
    return QString::fromUtf8(name).toUtf8() == name;
}

OpenedFolder::OpenedFolder(const QString& parent, const QByteArray& name) {
    QByteArray path = QFile::encodeName(parent);
    if (!path.endsWith('/')) {
        path += '/';
    }
    path += name;
    // O_DIRECTORY refuses anything but a folder before it is opened, so a FIFO never blocks.
    fd_ = open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

OpenedFolder::~OpenedFolder() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

QString OpenedFolder::path() const {
    // Linux keeps every open descriptor of the process as a link in /proc/self/fd.
    return fd_ >= 0 ? QStringLiteral("/proc/self/fd/%1/").arg(fd_) : QString();
}

}  // namespace taskwick
