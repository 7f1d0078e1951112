#include "skins/SkinFolders.h"

#include "platform/NativeFolders.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <utility>

namespace taskwick {

namespace {

QString withSlash(QString path) {
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    return path;
}

// Resolves each part of a relative `tail` below `base` without regard to case.
QString resolveIgnoringCase(const QString& base, const QString& tail) {
    QString resolved = withSlash(base);
    for (const QString& part : tail.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString found = findEntryIgnoringCase(resolved, part, EntryKind::Folder);
        if (found.isEmpty()) {
            return {};
        }
        resolved = withSlash(resolved + found);
    }
    return resolved;
}

}  // namespace

QString parentFolder(const QString& path) {
    // Up to and including the last "/", one trailing "/" off, and again up to the last "/".
    const qsizetype last = path.lastIndexOf(QLatin1Char('/'));
    if (last < 0) {
        return {};
    }
    QString folder = path.left(last + 1);
    if (folder == QLatin1String("/")) {
        return folder;
    }
    folder.chop(1);
    return folder.left(folder.lastIndexOf(QLatin1Char('/')) + 1);
}

std::vector<SkinsPlace> skinsFolderPlaces(const QString& appFolder,
                                          const QStringList& dataFolders) {
    const QString parent = parentFolder(appFolder);
    std::vector<SkinsPlace> places{{appFolder, QStringLiteral("Skins")},
                                   {parent, QStringLiteral("Skins")},
                                   {parent, QStringLiteral("Quillery/Skins")},
                                   {parent, QStringLiteral("QL/Skins")}};
    for (const QString& folder : dataFolders) {
        places.push_back({folder, QStringLiteral("Skins")});
    }
    return places;
}

QStringList existingSkinsFolders(const std::vector<SkinsPlace>& places) {
    QStringList folders;
    for (const SkinsPlace& place : places) {
        if (place.base.isEmpty()) {
            continue;  // no folder to look below
        }
        if (const QString found = resolveIgnoringCase(place.base, place.tail); !found.isEmpty()) {
            folders.append(found);
        }
    }
    return folders;
}

QString findSkinsFolder(const std::vector<SkinsPlace>& places) {
    return existingSkinsFolders(places).value(0);
}

const QStringList& preferredSkinNames() {
    static const QStringList names{
        QStringLiteral("Classic"),  QStringLiteral("Ocean"),    QStringLiteral("Forest"),
        QStringLiteral("Sunset"),   QStringLiteral("Graphite"), QStringLiteral("Sand"),
        QStringLiteral("Lavender"), QStringLiteral("Glacier"),  QStringLiteral("Cherry"),
        QStringLiteral("Meadow"),   QStringLiteral("Midnight")};
    return names;
}

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString findEntryIgnoringCase(const QString& folder, const QString& name, EntryKind kind) {
    auto fits = [&](const QString& entry) {
        const QFileInfo info(folder + entry);
        return kind == EntryKind::Folder ? info.isDir() : info.isFile();
    };
    if (fits(name)) {
        return name;
    }
    const QDir::Filters kinds = (kind == EntryKind::Folder ? QDir::Dirs : QDir::Files) |
                                QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& entry : QDir(folder).entryList(kinds, QDir::Unsorted)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && fits(entry)) {
            return entry;
        }
    }
    return {};
}

QStringList skinFolderNames(const QString& skinsFolder) {
    std::vector<QByteArray> entries = subfolderNames(skinsFolder);
    std::erase_if(entries, [](const QByteArray& entry) { return entry.startsWith('.'); });
    std::vector<std::pair<QString, QByteArray>> named;
    named.reserve(entries.size());
    for (QByteArray& entry : entries) {
        named.emplace_back(displayName(entry), std::move(entry));
    }
    std::sort(named.begin(), named.end(), [](const auto& a, const auto& b) {
        if (const int c = a.first.compare(b.first, Qt::CaseInsensitive); c != 0) {
            return c < 0;
        }
        if (const int c = a.first.compare(b.first, Qt::CaseSensitive); c != 0) {
            return c < 0;
        }
        return a.second < b.second;
    });
    QStringList names;
    for (const auto& [shown, bytes] : named) {
        names.append(shown);
    }
    return names;
}

std::shared_ptr<const SkinFolder> SkinFolder::find(const QString& skinsFolder,
                                                   const QString& name) {
    if (name.isEmpty()) {
        return nullptr;
    }
    // The better the match, the lower its rank: the very bytes of the name, the name as it
    // shows, the name without regard to case.
    const QByteArray bytes = name.toUtf8();
    std::optional<QByteArray> found;
    int foundRank = 3;
    for (const QByteArray& entry : subfolderNames(skinsFolder)) {
        const QString shown = displayName(entry);
        const int rank = entry == bytes                                  ? 0
                         : shown == name                                 ? 1
                         : shown.compare(name, Qt::CaseInsensitive) == 0 ? 2
                                                                         : 3;
        if (rank < foundRank) {
            found = entry;
            foundRank = rank;
        }
    }
    if (!found) {
        return nullptr;
    }
    std::shared_ptr<SkinFolder> folder(new SkinFolder);
    folder->name_ = displayName(*found);
    folder->skinsFolder_ = withSlash(skinsFolder);
    if (isTextName(*found)) {
        folder->path_ = withSlash(withSlash(skinsFolder) + folder->name_);
    } else {
        folder->opened_ = std::make_unique<OpenedFolder>(skinsFolder, *found);
        if (!folder->opened_->isOpen()) {
            return nullptr;
        }
        folder->path_ = folder->opened_->path();
    }
    return folder;
}

std::shared_ptr<const SkinFolder> SkinFolder::locate(const QString& storedSkinsFolder,
                                                     const QString& name,
                                                     const QString& appFolder) {
    if (!storedSkinsFolder.trimmed().isEmpty()) {
        if (auto stored = find(storedSkinsFolder, name)) {
            return stored;
        }
    }
    for (const QString& skinsFolder : existingSkinsFolders(skinsFolderPlaces(appFolder))) {
        if (auto found = find(skinsFolder, name)) {
            return found;
        }
    }
    return nullptr;
}

SkinFolder::~SkinFolder() = default;

}  // namespace taskwick
