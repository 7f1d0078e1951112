#include "app/startup/StartupRules.h"

#include "frame/geometry/Placement.h"

namespace taskwick {

QPoint firstRunPlacement(QRect primaryScreen, QSize window) {
    const int left = primaryScreen.x() + primaryScreen.width() - window.width() - 40;
    const int top = centredEdge(primaryScreen.y(), primaryScreen.height(), window.height());
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
