#include "info/InfoTexts.h"

namespace taskwick {

using namespace Qt::StringLiterals;

namespace {

InfoTexts makeEnglish() {
    return {
        .foldHint = {"Click on the red bar to", "shrink 'Taskwick' to a small",
                     "bar on your desktop."},
        .menuHint = {"Right click anywhere to", "open a menu with more", "options!"},
        .buttonsHint = {"Use the + and - to add", "or remove columns / rows"},
        .moreInformation = "More information here:",
        .programPage = ProgramPageEnglish,
        .copyright = {u"© 2026 The Taskwick developers."_s, "All rights reserved."},
        .promo = {"'Taskwick' is an official Plugin of the popular",
                  "Quillery Organizers. Please visit", "and test it for free!",
                  "Quillery is a helpful, fast-access systems tray",
                  "tool for making and storing quick notes."},
        .siblingPage = SiblingPageEnglish,
        .siblingHint = "Visit " + SiblingPageEnglish,
    };
}

InfoTexts makeGerman() {
    return {
        .foldHint = {"Klicken Sie auf den roten", "Streifen um \"Taskwick\" auf",
                     "ihren Desktop zu verkleinern."},
        .menuHint = {"Klicken Sie irgendwo mit der", u"rechten Maustaste für ein"_s,
                     u"Menü mit mehr Funktionen."_s},
        .buttonsHint = {u"Mit + / - erzeugen / löschen"_s, "Sie Spalten oder Zeilen"},
        .moreInformation = "Mehr Informationen hier:",
        .programPage = ProgramPageGerman,
        .copyright = {u"© 2026 Die Taskwick-Entwickler."_s, "Alle Rechte vorbehalten."},
        .promo = {"\"Taskwick\" ist ein offizielles Plugin des",
                  "Quillery Organizers. Besuchen Sie", "und testen Sie kostenlos das",
                  u"geniale und preisgekrönte Tool zum Verwalten von"_s,
                  "Notizen, Terminen und Adressen."},
        .siblingPage = SiblingPageGerman,
        .siblingHint = SiblingPageGerman + " besuchen",
    };
}

}  // namespace

QString infoLanguageFor(Language language) {
    return language == Language::German ? InfoLanguageGerman : InfoLanguageEnglish;
}

bool isGermanInfoLanguage(const QString& language) {
    return language == InfoLanguageGerman;
}

const InfoTexts& infoTextsFor(const QString& language) {
    static const InfoTexts english = makeEnglish();
    static const InfoTexts german = makeGerman();
    return isGermanInfoLanguage(language) ? german : english;
}

}  // namespace taskwick
