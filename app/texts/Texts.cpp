#include "app/texts/Texts.h"

namespace taskwick {

namespace {

Texts makeEnglish() {
    Texts t;
    t.language = Language::English;
    t.hints = {"Exit",
               "Make small",
               "Minimize",
               "To make small click on the red bar",
               "To make big click on the red bar",
               "Add Row",
               "Delete Row",
               "Add Column",
               "Delete Column"};
    t.menu = {"Change &Title Text",
              "Title &Bold",
              "Draw &Grid Lines",
              "&Column ...",
              "Left Align",
              "Center Align",
              "RightAlign",
              "&Add Row",
              "&Delete Row",
              "A&dd Column",
              "D&elete Column",
              "&Skin ...",
              "No Skin",
              "&Open File Folder",
              "&About Taskwick",
              "E&xit"};
    t.defaultHeader = {"Prio", "Task", "Time"};
    t.defaultTaskRow = {"High", "...Click here for new task", "10min"};
    t.errorTitle = "Error";
    t.exceptionTitle = "Exception";
    t.attentionTitle = "Attention";
    t.deleteRowQuestion = "Do you really want to delete the row?\r\nContent: ";
    t.deleteColumnQuestion = "Do you really want to delete the column?\r\nContent: ";
    t.saveErrorTitle = "Save Error";
    t.noticeTitle = "Notice";
    t.languageMarker = "ENGLISH";
    return t;
}

Texts makeGerman() {
    Texts t;
    t.language = Language::German;
    t.hints = {QString::fromUtf8("Beenden"),
               QString::fromUtf8("Zuklappen"),
               QString::fromUtf8("Minimieren"),
               QString::fromUtf8("Zum Verkleinern auf den roten Balken klicken"),
               QString::fromUtf8("Zum Vergrößern auf den roten Balken klicken"),
               QString::fromUtf8("Neue Zeile hinzufügen"),
               QString::fromUtf8("Letzte Zeile entfernen"),
               QString::fromUtf8("Neue Spalte hinzufügen"),
               QString::fromUtf8("Letzte Spalte entfernen")};
    t.menu = {QString::fromUtf8("Titelzeile ändern"),
              QString::fromUtf8("Titelzeile Fett"),
              QString::fromUtf8("Tabellen-Linien malen"),
              QString::fromUtf8("Spalte..."),
              QString::fromUtf8("Links"),
              QString::fromUtf8("Zentriert"),
              QString::fromUtf8("Rechts"),
              QString::fromUtf8("Neue Zeile hinzufügen"),
              QString::fromUtf8("Letzte Zeile entfernen"),
              QString::fromUtf8("Neue Spalte hinzufügen"),
              QString::fromUtf8("Letzte Spalte entfernen"),
              QString::fromUtf8("&Skin ..."),
              QString::fromUtf8("Kein Skin"),
              QString::fromUtf8("Datei-Ordner öffnen"),
              QString::fromUtf8("Über Taskwick"),
              QString::fromUtf8("Beenden")};
    t.defaultHeader = {"Prio", "Aufgabe", "Zeit"};
    t.defaultTaskRow = {"Hoch", QString::fromUtf8("...Klicken für neue Aufgabe"), "10min"};
    t.errorTitle = "Fehler";
    t.exceptionTitle = "Exception";
    t.attentionTitle = "Achtung";
    t.deleteRowQuestion = QString::fromUtf8("Möchten Sie die Zeile wirklich löschen?\r\nInhalt: ");
    t.deleteColumnQuestion =
        QString::fromUtf8("Möchten Sie die Spalte wirklich löschen?\r\nInhalt: ");
    t.saveErrorTitle = "Fehler beim Speichern";
    t.noticeTitle = "Hinweis";
    t.languageMarker = "DEUTSCH";
    return t;
}

}  // namespace

const Texts& textsFor(Language language) {
    static const Texts english = makeEnglish();
    static const Texts german = makeGerman();
    return language == Language::English ? english : german;
}

QString Texts::exceptionText(const QString& methode) const {
    if (language == Language::English) {
        return "Exception in " + methode +
               "\r\nThis is - likely - an undiscovered bug!\r\nPlease report the bug to the "
               "development team at:\r\n" +
               SupportAddress + "\r\nThank you!";
    }
    return "Exception in " + methode +
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
               errorKind;
    }
    return QString::fromUtf8("Problem beim temporären Speichern in diesen Pfad: \r\n") + appFolder +
           QString::fromUtf8(
               "\r\nSpeichern nicht möglich! Bitte prüfen Sie, ob das Laufwerk noch vorhanden "
               "ist!\r\nFehler: ") +
           errorKind;
}

QString Texts::saveReplaceText(const QString& appFolder, const QString& errorKind) const {
    if (language == Language::English) {
        return "Cannot save this file correctly: \r\n" + appFolder +
               "ToDoList.xml\r\nIt is not possible to save! Error: " + errorKind;
    }
    return QString::fromUtf8("Problem beim Speichern dieser Datei aufgetreten: \r\n") + appFolder +
           QString::fromUtf8("ToDoList.xml\r\nSpeichern nicht möglich! Fehler: ") + errorKind;
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

}  // namespace taskwick
