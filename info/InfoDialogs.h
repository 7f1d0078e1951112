#pragma once

#include <QString>

#include <memory>
#include <vector>

class QWindow;

namespace taskwick {

class InfoDialog;

// Owns every About dialog of the program. It creates one dialog, hidden, when it is built
// (that one is never shown), and a new dialog for each display: a dialog still open stays
// open, so opening twice shows two. Closed dialogs are only hidden; all of them are deleted
// with the owner, which must therefore go before the QApplication.
class InfoDialogs {
public:
    InfoDialogs();
    ~InfoDialogs();
    InfoDialogs(const InfoDialogs&) = delete;
    InfoDialogs& operator=(const InfoDialogs&) = delete;

    // Builds a new dialog for language ("Deutsch" for German, any other string for English),
    // centres it on the primary screen, shows it without blocking and brings it to the front.
    // The first display also applies the program-wide hint settings (HintSettings.h).
    // `stayAbove`, when given, is the window the dialog must never be hidden behind.
    InfoDialog* open(const QString& language, QWindow* stayAbove = nullptr);

    // The dialog of the most recent display (before any, the one created hidden at start).
    InfoDialog* current() const { return current_; }

private:
    std::vector<std::unique_ptr<InfoDialog>> dialogs_;  // [0] is the one created at start
    InfoDialog* current_ = nullptr;
};

}  // namespace taskwick
