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
    temp.errorKind = "ENOSPC";
    EXPECT_EQ(saveErrorText(temp, en, app),
              "Cannot save correctly to this path: \r\n/home/u/taskwick/\r\nIt is not possible "
              "to save! Please verify that the drive is existing!\r\nError: ENOSPC");
    EXPECT_TRUE(
        saveErrorText(temp, de, app)
            .endsWith(QString::fromUtf8(
                "Bitte prüfen Sie, ob das Laufwerk noch vorhanden ist!\r\nFehler: ENOSPC")));
    EXPECT_TRUE(saveErrorText(SaveResult{}, en, app).isEmpty());
}

TEST(SaveMessages, aTemporaryFileRefused_namesTheFolderThatRefusedIt) {
    SaveResult temp = saveFailure(SaveResult::TempFile, EACCES);
    temp.folder = "/srv/shared/lists/";
    EXPECT_EQ(saveErrorText(temp, textsFor(Language::English), "/home/u/taskwick/"),
              "Cannot save correctly to this path: \r\n/srv/shared/lists/\r\nIt is not possible "
              "to save! Please verify that the drive is existing!\r\nError: EACCES");
}
