#pragma once

#include <QString>
#include <QStringList>

namespace taskwick {

// Every text the user sees exists in English and in German. The executable fixes the
// language when it is built; the libraries take it as a value so both can be tested.
enum class Language { English, German };

// Values, not captions: never translated.
inline const QString NoSkinName = QStringLiteral("No Skin");
inline const QString ProductName = QStringLiteral("Taskwick");
inline const QString SupportAddress = QStringLiteral("bugs@taskwick.org");
// The program's version, as the build gives it: "1.2".
QString programVersion();

struct Hints {
    QString exitIcon, shrinkIcon, minimizeIcon;
    QString redBarFull, redBarFolded;
    QString plusRow, minusRow, plusColumn, minusColumn;
};

struct MenuCaptions {
    QString changeCaptions, captionsBold, gridLines, thisColumn, leftAlign, centerAlign, rightAlign;
    QString addRow, deleteRow, addColumn, deleteColumn, skin, noSkin, openFolder, about, exit;
    // Keys only (Ctrl+Z, Ctrl+Y): the menu does not show them.
    QString undo, redo;
};

struct Texts {
    Language language;
    Hints hints;
    MenuCaptions menu;
    QStringList defaultCaptions;  // first run, row 0
    QStringList defaultTaskRow;   // first run, row 1

    QString errorTitle;         // "Error" / "Fehler"
    QString exceptionTitle;     // "Exception" in both languages
    QString attentionTitle;     // delete confirmations
    QString deleteRowQuestion;  // followed by the content list
    QString deleteColumnQuestion;
    QString saveErrorTitle;
    QString noticeTitle;
    QString languageMarker;  // expected marker of the toolkit's standard texts
    QString skinUnselected;  // before the restart that drops the skin; titled noticeTitle

    // The unexpected-error box: "Exception in " + context + closing lines.
    QString exceptionText(const QString& context) const;
    // The unknown-error box for an exception no handler caught.
    QString unknownErrorText(const QString& message, const QString& className) const;
    QString wrongConstantsText(const QString& foundMarker) const;

    QString saveReadOnlyText(const QString& appFolder, const QString& errorMessage,
                             const QString& errorKind) const;
    // The two end in the error's kind and, for a full disk, a line that says so in plain words.
    QString saveTempFileText(const QString& appFolder, const QString& errorKind) const;
    QString saveReplaceText(const QString& appFolder, const QString& errorKind) const;
    // That line, with its line break in front; empty for an error that needs no words.
    QString errorReasonLine(const QString& errorKind) const;

    // After a list that could not be read completely was kept beside itself.
    QString unreadableListKeptText(const QString& listPath, const QString& keptPath) const;
    // The same for a list of which nothing could be read.
    QString unusableListKeptText(const QString& listPath, const QString& keptPath) const;
    // Added to a save error: where the tasks went instead. At the close, and while automatic
    // saves fail.
    QString rescuedOnCloseText(const QString& rescuePath) const;
    QString rescuedMeanwhileText(const QString& rescuePath) const;
    // Added to the close's save error when the tasks could not go anywhere else: the window
    // stays, or (when nobody can answer) the program ends.
    QString notRescuedStayingOpenText() const;
    QString notRescuedText() const;
    // Someone else wrote a version of the list that could not be read; it was kept.
    QString otherVersionUnreadableText(const QString& listPath, const QString& keptPath) const;
    // A save replaced a list that had further names (hard links), which keep the old list.
    QString hardLinkSplitText(const QString& listPath) const;
    // After a save found a version of the list written by someone else and kept it.
    QString changedListKeptText(const QString& listPath, const QString& keptPath) const;
    // A cell's name in a notice: "row 2, column 3" (the caption row is row 0).
    QString cellName(int col, int row) const;
    // Another version of the list was merged with the user's unsaved changes, and both
    // changed the named cells (`cells` joined by "; "); that version was kept as `keptPath`.
    QString mergedWithConflictsText(const QString& listPath, const QString& cells,
                                    const QString& keptPath) const;
    // Another version arrived in which cells the user wrote hold both texts (it merged them
    // with its own): the user's words are still there, joined by another's.
    QString joinedByOtherVersionText(const QString& listPath, const QString& cells) const;
    // A sync tool's conflict copy was merged into the list and moved out of its folder.
    QString conflictCopyMergedText(const QString& copyPath, const QString& movedTo) const;
    // Tasks that a former close could not save were brought back into the list.
    QString rescueMergedText(const QString& rescuePath, const QString& writtenAt) const;
    // The system gives no change notes for the list: it is looked at once a second.
    QString listPolledText(const QString& listPath) const;
    // Once, at the first start that keeps the list in the user's data folder because the
    // program's folder takes no files of the user's.
    QString listInDataFolderText(const QString& programFolder, const QString& listPath) const;

    // The command line's answers on the terminal (lines end with "\n"; StartTexts.cpp).
    QString commandLineHelp() const;
    QString versionLine() const;
    QString unknownOptionLine(const QString& option) const;
    // No X display to start on: DISPLAY is not set, or the display that DISPLAY or the option
    // "-display" (`namedBy`) names cannot be opened.
    QString noDisplayLine() const;
    QString displayUnreachableLine(const QString& display, const QString& namedBy) const;
};

const Texts& textsFor(Language language);

}  // namespace taskwick
