#pragma once

#include <QByteArray>
#include <QString>

namespace taskwick {

// The two keys by which a second start recognises the running instance's main window.
inline constexpr char InstanceWindowClass[] = "TToDoForm";
inline constexpr char InstanceWindowTitle[] = "Taskwick";

// Window texts are read into buffers of 255 code units including the terminator, so only the
// first 254 code units of a class name or title take part in the comparison.
inline constexpr int MaxComparedChars = 254;

// The text as far as it is compared: its first MaxComparedChars UTF-16 code units.
QString comparedPart(const QString& text);

// True when both the class name and the title equal the wanted ones, ignoring letter case.
// Both texts are cut to MaxComparedChars first, as the search does.
bool matchesWindow(const QString& className, const QString& title, const QString& wantedClass,
                   const QString& wantedTitle);

// The class part alone, for sorting out candidates before their titles are read.
bool isInstanceWindowClass(const QString& className);

// The class "TToDoForm" with the title "Taskwick".
bool isRunningInstanceWindow(const QString& className, const QString& title);

// WM_CLASS holds two NUL-terminated strings, the instance name and then the class name; this
// returns the class name (Latin-1), or an empty text when the property has no second part.
QString wmClassClassPart(const QByteArray& wmClass);

// How a title property is encoded: _NET_WM_NAME and WM_NAME of type UTF8_STRING are UTF-8,
// WM_NAME of type STRING is Latin-1. COMPOUND_TEXT is read as Latin-1 too, which is exact for
// its ASCII and Latin-1 subset, the only part "Taskwick" needs.
enum class TextEncoding { Utf8, Latin1 };
QString decodeWindowText(const QByteArray& bytes, TextEncoding encoding);

}  // namespace taskwick
