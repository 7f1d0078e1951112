// The texts of a start that does not get as far as a window (the command line, a missing
// display), and the notice of where the list lives.
#include "texts/Texts.h"

namespace taskwick {

using namespace Qt::StringLiterals;

namespace {

const QString XvfbHintEnglish =
    u"Start taskwick in a desktop session, or under a virtual X "
    "server: xvfb-run taskwick"_s;
const QString XvfbHintGerman =
    u"Starten Sie taskwick in einer Desktop-Sitzung oder unter einem "
    "virtuellen X-Server: xvfb-run taskwick"_s;

}  // namespace

QString programVersion() {
    return QStringLiteral(TASKWICK_VERSION);
}

QString Texts::listInDataFolderText(const QString& programFolder, const QString& listPath) const {
    if (language == Language::English) {
        return "Taskwick cannot save into its program folder:\r\n" + programFolder +
               "\r\nYour task list is kept in your own data folder instead:\r\n" + listPath +
               "\r\n\"Open File Folder\" in the menu shows it.";
    }
    return u"Taskwick kann nicht in seinen Programmordner speichern:\r\n"_s + programFolder +
           u"\r\nIhre Aufgabenliste wird stattdessen in Ihrem eigenen Datenordner gespeichert:"
           "\r\n"_s +
           listPath + u"\r\n„Datei-Ordner öffnen“ im Menü zeigt sie."_s;
}

QString Texts::commandLineHelp() const {
    if (language == Language::English) {
        return u"Usage: taskwick [-m] [Qt options]\n"
               "Taskwick, a small to-do list that stays on top of the desktop.\n"
               "\n"
               "  -m          start hidden, with only the tray icon (as the first argument only)\n"
               "  -h, --help  print this help and end\n"
               "  --version   print the version and end\n"
               "\n"
               "The tasks are kept in ToDoList.xml beside the program when you may write to\n"
               "its folder, otherwise in $XDG_DATA_HOME/taskwick/ (~/.local/share/taskwick/).\n"
               "The options of Qt (-display, -style, -reverse ...) work as in every Qt program.\n"_s;
    }
    return u"Aufruf: taskwick [-m] [Qt-Optionen]\n"
           "Taskwick, eine kleine Aufgabenliste, die über allen Fenstern bleibt.\n"
           "\n"
           "  -m          verborgen starten, nur mit dem Symbol im Infobereich (nur als erstes\n"
           "              Argument)\n"
           "  -h, --help  diese Hilfe ausgeben und beenden\n"
           "  --version   die Version ausgeben und beenden\n"
           "\n"
           "Die Aufgaben stehen in ToDoList.xml neben dem Programm, wenn Sie in seinen Ordner\n"
           "schreiben dürfen, sonst in $XDG_DATA_HOME/taskwick/ (~/.local/share/taskwick/).\n"
           "Die Optionen von Qt (-display, -style, -reverse ...) wirken wie in jedem\n"
           "Qt-Programm.\n"_s;
}

QString Texts::versionLine() const {
    return ProductName + QLatin1Char(' ') + programVersion() + QLatin1Char('\n');
}

QString Texts::unknownOptionLine(const QString& option) const {
    if (language == Language::English) {
        return "taskwick: unknown option '" + option + "' (taskwick --help lists the options)\n";
    }
    return "taskwick: unbekannte Option '" + option + "' (taskwick --help zeigt die Optionen)\n";
}

QString Texts::noDisplayLine() const {
    if (language == Language::English) {
        return "taskwick: no X display: the variable DISPLAY is not set. " + XvfbHintEnglish + '\n';
    }
    return "taskwick: kein X-Display: die Variable DISPLAY ist nicht gesetzt. " + XvfbHintGerman +
           '\n';
}

QString Texts::displayUnreachableLine(const QString& display, const QString& namedBy) const {
    if (language == Language::English) {
        return "taskwick: cannot open the X display '" + display + "' that " + namedBy +
               " names; is its X server running? " + XvfbHintEnglish + '\n';
    }
    return u"taskwick: das X-Display '"_s + display + "', das " + namedBy +
           u" nennt, lässt sich nicht öffnen; läuft sein X-Server? "_s + XvfbHintGerman + '\n';
}

}  // namespace taskwick
