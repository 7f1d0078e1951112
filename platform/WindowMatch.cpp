#include "platform/WindowMatch.h"

namespace taskwick {

QString comparedPart(const QString& text) {
    return text.left(MaxComparedChars);
}

bool matchesWindow(const QString& className, const QString& title, const QString& wantedClass,
                   const QString& wantedTitle) {
    return QString::compare(comparedPart(className), wantedClass, Qt::CaseInsensitive) == 0 &&
           QString::compare(comparedPart(title), wantedTitle, Qt::CaseInsensitive) == 0;
}

bool isInstanceWindowClass(const QString& className) {
    return QString::compare(comparedPart(className), QLatin1String(InstanceWindowClass),
                            Qt::CaseInsensitive) == 0;
}

bool isRunningInstanceWindow(const QString& className, const QString& title) {
    return matchesWindow(className, title, QLatin1String(InstanceWindowClass),
                         QLatin1String(InstanceWindowTitle));
}

QString wmClassClassPart(const QByteArray& wmClass) {
    const qsizetype end = wmClass.indexOf('\0');
    if (end < 0) {
        return {};
    }
    QByteArray rest = wmClass.mid(end + 1);
    const qsizetype classEnd = rest.indexOf('\0');
    if (classEnd >= 0) {
        rest.truncate(classEnd);
    }
    return QString::fromLatin1(rest);
}

QString decodeWindowText(const QByteArray& bytes, TextEncoding encoding) {
    // Some clients count the terminator into the property; it is no part of the text.
    QByteArray text = bytes;
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0) {
        text.truncate(nul);
    }
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(text) : QString::fromLatin1(text);
}

}  // namespace taskwick
