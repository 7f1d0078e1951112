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

namespace {

// How many bytes the UTF-8 sequence that starts with `lead` has; 0 for a byte no sequence
// starts with.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// The character code page 1252 gives a byte of 0x80 or above; the five bytes it leaves
// undefined stay the C1 controls of their numbers, so that no two bytes read the same.
char16_t codePage1252(unsigned char byte) {
    static constexpr char16_t from0x80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? from0x80[byte - 0x80] : char16_t{byte};
}

}  // namespace

QString displayName(const QByteArray& name) {
    QString shown;
    shown.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        const int length = sequenceLength(static_cast<unsigned char>(name[i]));
        if (length > 0 && i + length <= name.size()) {
            // Valid only when it decodes to one character and back to the same bytes, which
            // rules out bad continuation bytes, overlong forms and surrogates.
            const QByteArray sequence = name.mid(i, length);
            const QString decoded = QString::fromUtf8(sequence);
            if (decoded.toUtf8() == sequence && decoded.toUcs4().size() == 1) {
                shown += decoded;
                i += length;
                continue;
            }
        }
        shown += QChar(codePage1252(static_cast<unsigned char>(name[i])));
        ++i;
    }
    return shown;
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
