#include "app/startup/StartupRules.h"

namespace taskwick {

QPoint firstRunPlacement(QSize primaryScreen, QSize window) {
    const int left = primaryScreen.width() - window.width() - 40;
    const int top = roundHalfEven(primaryScreen.height() / 2.0 - window.height() / 2.0);
    return {left, top};
}

bool startHiddenRequested(const QStringList& arguments) {
    return arguments.size() >= 2 && arguments.at(1) == QLatin1String("-m");
}

QString standardTextsMarker(const QString& translatedYes) {
    if (translatedYes == QLatin1String("&Yes")) {
        return QStringLiteral("ENGLISH");
    }
    if (translatedYes == QLatin1String("&Ja")) {
        return QStringLiteral("DEUTSCH");
    }
    return translatedYes;
}

}  // namespace taskwick
