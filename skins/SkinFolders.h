#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace taskwick {

// Where skins are looked for and what a skin folder holds. Skins come from a platform whose
// file system ignores case, so every folder and file name of a skin is matched without
// regard to case; the name found on the disk is the one used.

// The parent of the folder that `path` names or lies in, with a trailing "/":
// "/opt/tools/tasks/" and "/opt/tools/tasks/ToDoList.xml" both give "/opt/tools/". The root
// has no parent: "/" gives "/". A path without any "/" gives "".
QString parentFolder(const QString& path);

// A place a skins folder is looked for: a folder that exists and a relative tail below it.
struct SkinsPlace {
    QString base;  // ends with "/"
    QString tail;  // "Skins", "Quillery/Skins" ...
    QString path() const { return base + tail + QLatin1Char('/'); }
};

// The places a skins folder is looked for, in their order: the program's folder + "Skins",
// then its parent folder + "Skins", + "Quillery/Skins" and + "QL/Skins". `appFolder` ends
// with "/".
std::vector<SkinsPlace> skinsFolderPlaces(const QString& appFolder);

// The first place that exists as a folder (a link to one counts), with the tail's parts
// spelled as the disk has them and a trailing "/"; empty when none exists.
QString findSkinsFolder(const std::vector<SkinsPlace>& places);

// The skins the program prefers on a first start, in their order.
const QStringList& preferredSkinNames();

// The entry of `folder` (which ends with "/") named `name` without regard to case, with its
// name as the disk has it; an exact match wins. Empty when there is none. `wantFolder`
// chooses between a folder (links to one count) and a file.
QString findEntryIgnoringCase(const QString& folder, const QString& name, bool wantFolder);

// The sub-folders of a skins folder, in the order the file system lists them; names that
// begin with "." are left out, and so are plain files.
QStringList skinFolderNames(const QString& skinsFolder);

// True when `path` names an existing folder; a link to a folder counts.
bool isFolder(const QString& path);

}  // namespace taskwick
