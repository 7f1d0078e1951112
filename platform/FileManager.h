#pragma once

#include <QString>

namespace taskwick {

class FileManager {
public:
    // How long the file manager may take to answer, including being started by D-Bus.
    static constexpr int ShowItemsTimeoutMs = 5000;

    // Asks the desktop's file manager to open the file's folder with the file selected
    // (org.freedesktop.FileManager1.ShowItems on the session bus); when no file manager takes
    // the request, opens the folder with the desktop's default handler. No shell is involved.
    // Returns whether either was done; nothing is shown to the user when neither was.
    static bool showItem(const QString& path);

    // The URI the file manager is given for a local path: absolute, percent-encoded.
    static QString fileUri(const QString& path);
};

// Starts the running executable again as a new process, without arguments, in the current
// folder, and returns at once whether it could be started.
bool relaunchSelf();

}  // namespace taskwick
