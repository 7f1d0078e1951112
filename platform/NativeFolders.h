#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace taskwick {

// Folders by the bytes of their names. Qt names files by text and passes over every entry whose
// name is not valid UTF-8; a folder unpacked from an old archive keeps such a name (its Latin-1
// bytes), and these functions see it all the same.

// The entries of `folder` that are folders themselves, in the order the file system lists
// them, "." and ".." left out. A link to a folder counts; a dangling link, a link loop, a FIFO,
// a socket or a device does not. An unreadable folder has none.
std::vector<QByteArray> subfolderNames(const QString& folder);

// A name as the menu shows it: valid UTF-8 as it is, and every byte that is not part of valid
// UTF-8 read as code page 1252, as the Latin-1 names of old archives were written ("Caf\xe9"
// shows "Café"). Names that differ only in such bytes show differently.
QString displayName(const QByteArray& name);

// True when the name is valid UTF-8, so that Qt's file functions can name it.
bool isTextName(const QByteArray& name);

// A sub-folder opened by the bytes of its name. While it lives, path() reaches it through the
// open descriptor, a path Qt's file functions can use whatever the folder's name is.
class OpenedFolder {
public:
    OpenedFolder(const QString& parent, const QByteArray& name);
    ~OpenedFolder();
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // Ends with "/"; empty when the folder could not be opened.
    QString path() const;

private:
    int fd_ = -1;
};

}  // namespace taskwick
