#pragma once

#include "texts/Texts.h"

#include <QString>

namespace taskwick {

// The web pages the About dialog links to.
inline const QString ProgramPageEnglish = QStringLiteral("https://taskwick.example.com/");
inline const QString ProgramPageGerman = QStringLiteral("https://taskwick.example.com/de/");
inline const QString SiblingPageEnglish = QStringLiteral("https://quillery.example.com/");
inline const QString SiblingPageGerman = QStringLiteral("https://quillery.example.com/de/");

// The dialog's title, the same in both languages.
inline const QString InfoDialogTitle = QStringLiteral("Taskwick Version 1.2 (64bit)");

// The language strings the dialog is opened with.
inline const QString InfoLanguageEnglish = QStringLiteral("English");
inline const QString InfoLanguageGerman = QStringLiteral("Deutsch");

// "Deutsch" for German, "English" for English: what the main window hands to the dialog.
QString infoLanguageFor(Language language);

// True exactly when language is "Deutsch" (case matters); every other string means English.
bool isGermanInfoLanguage(const QString& language);

// Every text of the dialog in one language.
struct InfoTexts {
    QString foldHint[3];     // the red bar folds the window
    QString menuHint[3];     // a right click opens the menu
    QString buttonsHint[2];  // the + and - buttons
    QString moreInformation;
    QString programPage;  // shown as the link's text and opened by it
    QString copyright[2];
    QString promo[5];  // the promotion's lines; promo[2] follows the sibling link
    QString siblingPage;
    QString siblingHint;  // the hint of the promo icon and the sibling link
};

// German texts exactly for "Deutsch", English texts for any other string.
const InfoTexts& infoTextsFor(const QString& language);

}  // namespace taskwick
