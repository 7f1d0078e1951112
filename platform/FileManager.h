#pragma once

#include <QString>

#include <functional>

namespace taskwick {

class FileManager {
public:
    // How long the file manager may take to answer, including being started by D-Bus.
    static constexpr int ShowItemsTimeoutMs = 5000;

    enum class Shown {
        InFileManager,  // the file manager took the request
        Folder,         // the folder was opened with the desktop's default handler
        Nothing,        // neither could be done; nothing is shown to the user
    };

    // Asks the desktop's file manager to open the file's folder with the file selected
    // (org.freedesktop.FileManager1.ShowItems on the session bus) and returns at once, so the
    // window never waits for it. When the file manager answers with an error, or not within
    // `timeoutMs`, the folder is opened with the desktop's default handler instead: one or
    // the other, never both. `done` runs once, from the event loop, with what happened. No
    // shell is involved.
    static void showItem(const QString& path, std::function<void(Shown)> done = {},
                         int timeoutMs = ShowItemsTimeoutMs);

    // The URI the file manager is given for a local path: absolute, percent-encoded.
    static QString fileUri(const QString& path);
};

}  // namespace taskwick
