#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace taskwick {

// Where skins are looked for and what a skin folder holds. Skins are made and unpacked with
// their names in any case ("Skins", "skins", "RIGHT.JPG"), so every folder and file name of a
// skin is matched without regard to case; the name found on the disk is the one used.

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
// then its parent folder + "Skins", + "Quillery/Skins" and + "QL/Skins", then each of
// `dataFolders` + "Skins" (the user's data folder, the installed one). Every folder ends
// with "/".
std::vector<SkinsPlace> skinsFolderPlaces(const QString& appFolder,
                                          const QStringList& dataFolders = {});

// The places that exist as folders (a link to one counts), in their order, each with the
// tail's parts spelled as the disk has them and a trailing "/".
QStringList existingSkinsFolders(const std::vector<SkinsPlace>& places);
// The first of them; empty when none exists.
QString findSkinsFolder(const std::vector<SkinsPlace>& places);

// The skins the program prefers on a first start, in their order.
const QStringList& preferredSkinNames();

// The entry of `folder` (which ends with "/") named `name` without regard to case, with its
// name as the disk has it; an exact match wins. Empty when there is none. `kind`
// chooses between a folder (links to one count) and a file.
enum class EntryKind { File, Folder };
QString findEntryIgnoringCase(const QString& folder, const QString& name, EntryKind kind);

// The sub-folders of a skins folder by the names the menu shows (displayName: a name that is
// not valid UTF-8 shows its stray bytes as code page 1252), sorted without regard to case and
// then by case. Names that begin with "." are left out, and so is everything that is no
// folder: plain files, FIFOs, sockets, devices, dangling links and link loops. A link to a
// folder counts.
QStringList skinFolderNames(const QString& skinsFolder);

class OpenedFolder;

// One skin folder, found by the name the menu shows and the list file keeps, without regard to
// case; a folder whose name is exactly that wins.
class SkinFolder {
public:
    // Null when the skins folder holds no such folder.
    static std::shared_ptr<const SkinFolder> find(const QString& skinsFolder, const QString& name);
    // The skin a list names: in its stored skins folder when it is there, otherwise in the
    // first skins folder of the search order from `appFolder` (which ends with "/") that holds
    // it, so that a skin whose folder was renamed or moved with the program is found again.
    // Null when none holds it.
    static std::shared_ptr<const SkinFolder> locate(const QString& storedSkinsFolder,
                                                    const QString& name, const QString& appFolder);
    ~SkinFolder();

    // As the menu shows it, spelled as the disk has it.
    const QString& name() const { return name_; }
    // The skins folder it was found in, with a trailing "/".
    const QString& skinsFolder() const { return skinsFolder_; }
    // Ends with "/". A name that Qt cannot spell is reached through an open descriptor, so the
    // path holds only while this object lives.
    const QString& path() const { return path_; }

private:
    SkinFolder() = default;
    QString name_;
    QString skinsFolder_;
    QString path_;
    std::unique_ptr<OpenedFolder> opened_;
};

// True when `path` names an existing folder; a link to a folder counts.
bool isFolder(const QString& path);

}  // namespace taskwick
