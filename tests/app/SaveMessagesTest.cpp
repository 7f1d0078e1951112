#include "app/list/SaveMessages.h"
#include "storage/FileOps.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace taskwick;

TEST(SaveMessages, errorTexts_inBothLanguages_carryTheErrorMessageAndKind) {
    SaveResult readOnly;
    readOnly.step = SaveResult::ReadOnly;
    readOnly.errorMessage = errnoMessage(EPERM);
    readOnly.errorKind = errnoName(EPERM);
    SaveResult replace = readOnly;
    replace.step = SaveResult::Replace;
    replace.errorKind = "EXDEV";
    const QString app = "/home/u/taskwick/";

    const Texts& en = textsFor(Language::English);
    const Texts& de = textsFor(Language::German);
    EXPECT_EQ(saveErrorText(readOnly, en, app),
              "Cannot remove write protection of file: \r\n/home/u/taskwick/ToDoList.xml\r\nIt "
              "is not possible to save! Error: " +
                  errnoMessage(EPERM) + " (EPERM)");
    EXPECT_EQ(saveErrorText(readOnly, de, app),
              QString::fromUtf8("Kann Schreibschutz dieser Datei nicht entfernen: "
                                "\r\n/home/u/taskwick/ToDoList.xml\r\nSpeichern nicht möglich! "
                                "Fehler: ") +
                  errnoMessage(EPERM) + " (EPERM)");
    EXPECT_EQ(saveErrorText(replace, en, app),
              "Cannot save this file correctly: \r\n/home/u/taskwick/ToDoList.xml\r\nIt is not "
              "possible to save! Error: EXDEV");
    EXPECT_EQ(saveErrorText(replace, de, app),
              QString::fromUtf8("Problem beim Speichern dieser Datei aufgetreten: "
                                "\r\n/home/u/taskwick/ToDoList.xml\r\nSpeichern nicht möglich! "
                                "Fehler: EXDEV"));
    SaveResult temp = replace;
    temp.step = SaveResult::TempFile;
    temp.errorKind = "EACCES";
    EXPECT_EQ(saveErrorText(temp, en, app),
              "Cannot save correctly to this path: \r\n/home/u/taskwick/\r\nIt is not possible "
              "to save! Please verify that the drive is existing!\r\nError: EACCES");
    EXPECT_TRUE(
        saveErrorText(temp, de, app)
            .endsWith(QString::fromUtf8(
                "Bitte prüfen Sie, ob das Laufwerk noch vorhanden ist!\r\nFehler: EACCES")));
    EXPECT_TRUE(saveErrorText(SaveResult{}, en, app).isEmpty());
}

// A full disk is said in plain words after the message's own text, in both languages and at
// both steps that can meet it; a quota used up reads the same way.
TEST(SaveMessages, aFullDisk_isSaidInPlainWords_afterTheKindOfTheError) {
    const QString app = "/home/u/taskwick/";
    struct Case {
        SaveResult::Step step;
        const char* kind;
        Language language;
        const char* ending;
    };
    const Case cases[] = {
        {SaveResult::TempFile, "ENOSPC", Language::English,
         "Please verify that the drive is existing!\r\nError: ENOSPC\r\nThe disk is full: there "
         "is no room left on it for the list."},
        {SaveResult::TempFile, "ENOSPC", Language::German,
         "Bitte prüfen Sie, ob das Laufwerk noch vorhanden ist!\r\nFehler: ENOSPC\r\nDer "
         "Datenträger ist voll: Für die Liste ist kein Platz mehr."},
        {SaveResult::Replace, "ENOSPC", Language::English,
         "ToDoList.xml\r\nIt is not possible to save! Error: ENOSPC\r\nThe disk is full: there "
         "is no room left on it for the list."},
        {SaveResult::TempFile, "EDQUOT", Language::English,
         "Error: EDQUOT\r\nYour share of the disk is used up: there is no room left in it for "
         "the list."},
        {SaveResult::Replace, "EDQUOT", Language::German,
         "Fehler: EDQUOT\r\nIhr Anteil am Datenträger ist aufgebraucht: Für die Liste ist kein "
         "Platz mehr."},
    };
    for (const Case& c : cases) {
        SaveResult result;
        result.step = c.step;
        result.errorKind = c.kind;
        const QString text = saveErrorText(result, textsFor(c.language), app);
        EXPECT_TRUE(text.endsWith(QString::fromUtf8(c.ending))) << text.toStdString();
    }
}

TEST(SaveMessages, aTemporaryFileRefused_namesTheFolderThatRefusedIt) {
    SaveResult temp = saveFailure(SaveResult::TempFile, EACCES);
    temp.folder = "/srv/shared/lists/";
    EXPECT_EQ(saveErrorText(temp, textsFor(Language::English), "/home/u/taskwick/"),
              "Cannot save correctly to this path: \r\n/srv/shared/lists/\r\nIt is not possible "
              "to save! Please verify that the drive is existing!\r\nError: EACCES");
}
