#pragma once

#include <QString>

namespace taskwick {

class FileOps;

// The user's own folder of this program's data, with a trailing "/": $XDG_DATA_HOME/taskwick/
// when XDG_DATA_HOME is an absolute path, else ~/.local/share/taskwick/; empty when there is no
// home folder either.
QString userDataFolder(const QString& xdgDataHome, const QString& home);
// The same from this process's environment.
QString userDataFolderOfUser();

// The folder where ToDoList.xml lives: beside the executable (`programFolder`) when this user
// may make files there, as in a portable program folder or an install into the user's own
// folders. Otherwise (a system-wide install) `dataFolder`, made when missing; when it cannot
// be made, the list's saves say so and go into the rescue copy. Only a refusal (no
// permission, a read-only file system, an immutable folder) moves the list: a full disk or a
// failing device leaves it where it is, so the list never changes with the state of the disk.
// Tried by making a file in the program's folder and removing it again, as a save makes its
// temporary file. Both folders end with "/"; an empty `dataFolder` keeps the list beside the
// executable.
QString chooseListFolder(FileOps& ops, const QString& programFolder, const QString& dataFolder);

}  // namespace taskwick
