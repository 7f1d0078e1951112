#include "texts/Texts.h"

namespace taskwick {

using namespace Qt::StringLiterals;

namespace {

Texts makeEnglish() {
    return {
        .language = Language::English,
        .hints = {.exitIcon = "Exit",
                  .shrinkIcon = "Make small",
                  .minimizeIcon = "Minimize",
                  .redBarFull = "To make small click on the red bar",
                  .redBarFolded = "To make big click on the red bar",
                  .plusRow = "Add Row",
                  .minusRow = "Delete Row",
                  .plusColumn = "Add Column",
                  .minusColumn = "Delete Column"},
        .menu = {.changeCaptions = "Change &Title Text",
                 .captionsBold = "Title &Bold",
                 .gridLines = "Draw &Grid Lines",
                 .thisColumn = "&Column ...",
                 .leftAlign = "Left Align",
                 .centerAlign = "Center Align",
                 .rightAlign = "RightAlign",
                 .addRow = "&Add Row",
                 .deleteRow = "&Delete Row",
                 .addColumn = "A&dd Column",
                 .deleteColumn = "D&elete Column",
                 .skin = "&Skin ...",
                 .noSkin = "No Skin",
                 .openFolder = "&Open File Folder",
                 .about = "&About Taskwick",
                 .exit = "E&xit",
                 .undo = "Undo",
                 .redo = "Redo"},
        .defaultCaptions = {"Prio", "Task", "Time"},
        .defaultTaskRow = {"High", "...Click here for new task", "10min"},
        .errorTitle = "Error",
        .exceptionTitle = "Exception",
        .attentionTitle = "Attention",
        .deleteRowQuestion = "Do you really want to delete the row?\r\nContent: ",
        .deleteColumnQuestion = "Do you really want to delete the column?\r\nContent: ",
        .saveErrorTitle = "Save Error",
        .noticeTitle = "Notice",
        .languageMarker = "ENGLISH",
        .skinUnselected =
            "Skin was un-selected!\r\nTaskwick will now be restarted to unload the current skin!",
    };
}

Texts makeGerman() {
    return {
        .language = Language::German,
        .hints = {.exitIcon = u"Beenden"_s,
                  .shrinkIcon = u"Zuklappen"_s,
                  .minimizeIcon = u"Minimieren"_s,
                  .redBarFull = u"Zum Verkleinern auf den roten Balken klicken"_s,
                  .redBarFolded = u"Zum Vergrößern auf den roten Balken klicken"_s,
                  .plusRow = u"Neue Zeile hinzufügen"_s,
                  .minusRow = u"Letzte Zeile entfernen"_s,
                  .plusColumn = u"Neue Spalte hinzufügen"_s,
                  .minusColumn = u"Letzte Spalte entfernen"_s},
        .menu = {.changeCaptions = u"Titelzeile ändern"_s,
                 .captionsBold = u"Titelzeile Fett"_s,
                 .gridLines = u"Tabellen-Linien malen"_s,
                 .thisColumn = u"Spalte..."_s,
                 .leftAlign = u"Links"_s,
                 .centerAlign = u"Zentriert"_s,
                 .rightAlign = u"Rechts"_s,
                 .addRow = u"Neue Zeile hinzufügen"_s,
                 .deleteRow = u"Letzte Zeile entfernen"_s,
                 .addColumn = u"Neue Spalte hinzufügen"_s,
                 .deleteColumn = u"Letzte Spalte entfernen"_s,
                 .skin = u"&Skin ..."_s,
                 .noSkin = u"Kein Skin"_s,
                 .openFolder = u"Datei-Ordner öffnen"_s,
                 .about = u"Über Taskwick"_s,
                 .exit = u"Beenden"_s,
                 .undo = u"Rückgängig"_s,
                 .redo = u"Wiederholen"_s},
        .defaultCaptions = {"Prio", "Aufgabe", "Zeit"},
        .defaultTaskRow = {"Hoch", u"...Klicken für neue Aufgabe"_s, "10min"},
        .errorTitle = "Fehler",
        .exceptionTitle = "Exception",
        .attentionTitle = "Achtung",
        .deleteRowQuestion = u"Möchten Sie die Zeile wirklich löschen?\r\nInhalt: "_s,
        .deleteColumnQuestion = u"Möchten Sie die Spalte wirklich löschen?\r\nInhalt: "_s,
        .saveErrorTitle = "Fehler beim Speichern",
        .noticeTitle = "Hinweis",
        .languageMarker = "DEUTSCH",
        .skinUnselected =
            u"Skin wurde abgewählt!\r\nTaskwick wird jetzt neu gestartet, um diese "
            u"Einstellung zu übernehmen"_s,
    };
}

}  // namespace

const Texts& textsFor(Language language) {
    static const Texts english = makeEnglish();
    static const Texts german = makeGerman();
    return language == Language::English ? english : german;
}

QString Texts::exceptionText(const QString& context) const {
    if (language == Language::English) {
        return "Exception in " + context +
               "\r\nThis is - likely - an undiscovered bug!\r\nPlease report the bug to the "
               "development team at:\r\n" +
               SupportAddress + "\r\nThank you!";
    }
    return "Exception in " + context +
           "\r\nDies is vermutlich ein unbekannter, neuer Fehler!\r\nBitte berichten Sie diesen "
           "Fehler dem Entwicklungsteam unter:\r\n" +
           SupportAddress + "\r\nVielen Dank!";
}

QString Texts::unknownErrorText(const QString& message, const QString& className) const {
    const QString detail = message + " (" + className + ")";
    return (language == Language::English
                ? QStringLiteral("An unknown error occured:\r\n")
                : QStringLiteral("Ein unbekannte Fehler ist aufgetreten:\r\n")) +
           detail;
}

QString Texts::wrongConstantsText(const QString& foundMarker) const {
    return "Wrong constants!\r\n\r\nExpected:  " + languageMarker + "\r\nFound:  " + foundMarker;
}

QString Texts::saveReadOnlyText(const QString& appFolder, const QString& errorMessage,
                                const QString& errorKind) const {
    const QString tail = errorMessage + " (" + errorKind + ")";
    if (language == Language::English) {
        return "Cannot remove write protection of file: \r\n" + appFolder +
               "ToDoList.xml\r\nIt is not possible to save! Error: " + tail;
    }
    return QString::fromUtf8("Kann Schreibschutz dieser Datei nicht entfernen: \r\n") + appFolder +
           QString::fromUtf8("ToDoList.xml\r\nSpeichern nicht möglich! Fehler: ") + tail;
}

QString Texts::saveTempFileText(const QString& appFolder, const QString& errorKind) const {
    if (language == Language::English) {
        return "Cannot save correctly to this path: \r\n" + appFolder +
               "\r\nIt is not possible to save! Please verify that the drive is "
               "existing!\r\nError: " +
               errorKind + errorReasonLine(errorKind);
    }
    return QString::fromUtf8("Problem beim temporären Speichern in diesen Pfad: \r\n") + appFolder +
           QString::fromUtf8(
               "\r\nSpeichern nicht möglich! Bitte prüfen Sie, ob das Laufwerk noch vorhanden "
               "ist!\r\nFehler: ") +
           errorKind + errorReasonLine(errorKind);
}

QString Texts::saveReplaceText(const QString& appFolder, const QString& errorKind) const {
    if (language == Language::English) {
        return "Cannot save this file correctly: \r\n" + appFolder +
               "ToDoList.xml\r\nIt is not possible to save! Error: " + errorKind +
               errorReasonLine(errorKind);
    }
    return QString::fromUtf8("Problem beim Speichern dieser Datei aufgetreten: \r\n") + appFolder +
           QString::fromUtf8("ToDoList.xml\r\nSpeichern nicht möglich! Fehler: ") + errorKind +
           errorReasonLine(errorKind);
}

QString Texts::errorReasonLine(const QString& errorKind) const {
    const bool english = language == Language::English;
    if (errorKind == u"ENOSPC"_s) {
        return english ? u"\r\nThe disk is full: there is no room left on it for the list."_s
                       : u"\r\nDer Datenträger ist voll: Für die Liste ist kein Platz mehr."_s;
    }
    if (errorKind == u"EDQUOT"_s) {
        return english ? u"\r\nYour share of the disk is used up: there is no room left in it "
                         u"for the list."_s
                       : u"\r\nIhr Anteil am Datenträger ist aufgebraucht: Für die Liste ist "
                         u"kein Platz mehr."_s;
    }
    return {};
}

QString Texts::unreadableListKeptText(const QString& listPath, const QString& keptPath) const {
    if (language == Language::English) {
        return "The task list could not be read completely:\r\n" + listPath +
               "\r\nAn exact copy of the file was kept as:\r\n" + keptPath +
               "\r\nThe tasks that could be read are shown and will be saved in its place.";
    }
    return QString::fromUtf8("Die Aufgabenliste konnte nicht vollständig gelesen werden:\r\n") +
           listPath +
           QString::fromUtf8("\r\nEine genaue Kopie der Datei wurde gesichert als:\r\n") +
           keptPath +
           QString::fromUtf8(
               "\r\nDie lesbaren Aufgaben werden angezeigt und an ihrer Stelle gespeichert.");
}

QString Texts::changedListKeptText(const QString& listPath, const QString& keptPath) const {
    if (language == Language::English) {
        return "The task list was changed by another program while Taskwick was running:\r\n" +
               listPath + "\r\nThat version was kept as:\r\n" + keptPath +
               "\r\nTaskwick saved its own list in its place.";
    }
    return QString::fromUtf8(
               "Die Aufgabenliste wurde von einem anderen Programm geändert, während Taskwick "
               "lief:\r\n") +
           listPath + QString::fromUtf8("\r\nDiese Fassung wurde gesichert als:\r\n") + keptPath +
           QString::fromUtf8("\r\nTaskwick hat seine eigene Liste an ihre Stelle gespeichert.");
}

QString Texts::cellName(int col, int row) const {
    return (language == Language::English ? QStringLiteral("row %1, column %2")
                                          : QStringLiteral("Zeile %1, Spalte %2"))
        .arg(row)
        .arg(col + 1);
}

QString Texts::mergedWithConflictsText(const QString& listPath, const QString& cells,
                                       const QString& keptPath) const {
    if (language == Language::English) {
        return "Another version of the task list arrived while you were changing it:\r\n" +
               listPath +
               "\r\nBoth were merged. These cells were changed on both sides and "
               "now hold both texts, yours first, separated by \" | \":\r\n" +
               cells + "\r\nThe other version was kept as:\r\n" + keptPath;
    }
    return QString::fromUtf8(
               "Eine andere Fassung der Aufgabenliste kam an, während Sie sie "
               "änderten:\r\n") +
           listPath +
           QString::fromUtf8(
               "\r\nBeide wurden zusammengeführt. Diese Zellen wurden auf beiden "
               "Seiten geändert und enthalten nun beide Texte, Ihren zuerst, "
               "getrennt durch \" | \":\r\n") +
           cells + QString::fromUtf8("\r\nDie andere Fassung wurde gesichert als:\r\n") + keptPath;
}

QString Texts::joinedByOtherVersionText(const QString& listPath, const QString& cells) const {
    if (language == Language::English) {
        return "Someone else changed cells of the task list that you had changed too:\r\n" +
               listPath +
               "\r\nYour texts were kept; each of these cells now holds both texts, "
               "separated by \" | \":\r\n" +
               cells;
    }
    return QString::fromUtf8(
               "Jemand anderes hat Zellen der Aufgabenliste geändert, die Sie "
               "ebenfalls geändert hatten:\r\n") +
           listPath +
           QString::fromUtf8(
               "\r\nIhre Texte blieben erhalten; jede dieser Zellen enthält nun "
               "beide Texte, getrennt durch \" | \":\r\n") +
           cells;
}

QString Texts::conflictCopyMergedText(const QString& copyPath, const QString& movedTo) const {
    if (language == Language::English) {
        return "A copy of the task list that a sync tool made was merged into the list:\r\n" +
               copyPath + "\r\nThe copy was moved to:\r\n" + movedTo;
    }
    return QString::fromUtf8(
               "Eine Kopie der Aufgabenliste, die ein Synchronisierungsprogramm "
               "angelegt hat, wurde in die Liste übernommen:\r\n") +
           copyPath + QString::fromUtf8("\r\nDie Kopie wurde verschoben nach:\r\n") + movedTo;
}

QString Texts::rescueMergedText(const QString& rescuePath, const QString& writtenAt) const {
    if (language == Language::English) {
        return "Tasks written on " + writtenAt +
               " could not be saved in the list then. They were brought back into the list "
               "from:\r\n" +
               rescuePath;
    }
    return QString::fromUtf8("Aufgaben vom ") + writtenAt +
           QString::fromUtf8(
               " konnten damals nicht in der Liste gespeichert werden. Sie wurden "
               "in die Liste zurückgeholt aus:\r\n") +
           rescuePath;
}

QString Texts::listPolledText(const QString& listPath) const {
    if (language == Language::English) {
        return "The system does not report changes to the task list:\r\n" + listPath +
               "\r\nTaskwick looks at it once a second instead.";
    }
    return QString::fromUtf8("Das System meldet keine Änderungen an der Aufgabenliste:\r\n") +
           listPath + QString::fromUtf8("\r\nTaskwick sieht stattdessen einmal pro Sekunde nach.");
}

QString Texts::unusableListKeptText(const QString& listPath, const QString& keptPath) const {
    if (language == Language::English) {
        return "The task list could not be read:\r\n" + listPath +
               "\r\nAn exact copy of the file was kept as:\r\n" + keptPath +
               "\r\nNothing of it could be used: Taskwick shows an empty list and will save it "
               "in its place.";
    }
    return QString::fromUtf8("Die Aufgabenliste konnte nicht gelesen werden:\r\n") + listPath +
           QString::fromUtf8("\r\nEine genaue Kopie der Datei wurde gesichert als:\r\n") +
           keptPath +
           QString::fromUtf8(
               "\r\nNichts davon war verwendbar: Taskwick zeigt eine leere Liste und speichert "
               "sie an ihrer Stelle.");
}

QString Texts::rescuedOnCloseText(const QString& rescuePath) const {
    if (language == Language::English) {
        return "\r\nYour tasks were saved instead as:\r\n" + rescuePath;
    }
    return QString::fromUtf8("\r\nIhre Aufgaben wurden stattdessen gespeichert als:\r\n") +
           rescuePath;
}

QString Texts::rescuedMeanwhileText(const QString& rescuePath) const {
    if (language == Language::English) {
        return "\r\nUntil the list can be saved, your tasks are kept in:\r\n" + rescuePath;
    }
    return QString::fromUtf8(
               "\r\nBis die Liste gespeichert werden kann, sind Ihre Aufgaben gesichert in:\r\n") +
           rescuePath;
}

QString Texts::notRescuedStayingOpenText() const {
    if (language == Language::English) {
        return "\r\nYour tasks could not be saved anywhere else either, so Taskwick stays open. "
               "Make room on the disk or mend the folder, then close Taskwick again.";
    }
    return QString::fromUtf8(
        "\r\nIhre Aufgaben konnten auch anderswo nicht gespeichert werden, deshalb bleibt "
        "Taskwick geöffnet. Schaffen Sie Platz auf dem Datenträger oder beheben Sie das Problem "
        "mit dem Ordner und schließen Sie Taskwick dann erneut.");
}

QString Texts::notRescuedText() const {
    if (language == Language::English) {
        return "\r\nYour tasks could not be saved anywhere else either.";
    }
    return QString::fromUtf8("\r\nIhre Aufgaben konnten auch anderswo nicht gespeichert werden.");
}

QString Texts::hardLinkSplitText(const QString& listPath) const {
    if (language == Language::English) {
        return "The task list has further names (hard links):\r\n" + listPath +
               "\r\nTaskwick saved it as a new file under this name; the other names keep the "
               "earlier version.";
    }
    return QString::fromUtf8("Die Aufgabenliste hat weitere Namen (harte Links):\r\n") + listPath +
           QString::fromUtf8(
               "\r\nTaskwick hat sie unter diesem Namen als neue Datei gespeichert; die anderen "
               "Namen behalten die frühere Fassung.");
}

QString Texts::otherVersionUnreadableText(const QString& listPath, const QString& keptPath) const {
    if (language == Language::English) {
        return "Another program wrote a version of the task list that could not be read:\r\n" +
               listPath + "\r\nIt was kept as:\r\n" + keptPath +
               "\r\nTaskwick goes on with its own list and will save it in its place.";
    }
    return QString::fromUtf8(
               "Ein anderes Programm hat eine Fassung der Aufgabenliste "
               "geschrieben, die nicht gelesen werden konnte:\r\n") +
           listPath + QString::fromUtf8("\r\nSie wurde gesichert als:\r\n") + keptPath +
           QString::fromUtf8(
               "\r\nTaskwick arbeitet mit seiner eigenen Liste weiter und speichert sie an "
               "ihrer Stelle.");
}

}  // namespace taskwick
