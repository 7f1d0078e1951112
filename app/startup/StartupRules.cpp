#include "app/startup/StartupRules.h"

#include "frame/geometry/Placement.h"

#include <QGuiApplication>
#include <QScreen>

namespace taskwick {

ScreenMetrics screenMetrics() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) {
        const QRect fallback(0, 0, 1920, 1080);
        return {fallback, fallback};
    }
    return {primary->geometry(), primary->virtualGeometry()};
}

QRect loadedPlacement(const std::optional<StoredWindow>& stored, QSize windowSize,
                      int minClientWidth, const ScreenMetrics& screens) {
    const QRect& primary = screens.primaryScreen;
    const QRect& desk = screens.virtualDesktop;
    const int centredLeft = centredEdge(primary.x(), primary.width(), windowSize.width());
    const int centredTop = centredEdge(primary.y(), primary.height(), windowSize.height());
    if (!stored) {
        return {QPoint(centredLeft, centredTop), DefaultClientSize};
    }
    // The test uses the window's size from before the load, not the stored one.
    const bool leftTaken =
        storedEdgeAccepted(stored->left, desk.x(), desk.width(), windowSize.width());
    const bool topTaken =
        storedEdgeAccepted(stored->top, desk.y(), desk.height(), windowSize.height());
    return {QPoint(leftTaken ? stored->left : centredLeft, topTaken ? stored->top : centredTop),
            QSize(stored->width >= minClientWidth ? stored->width : DefaultClientSize.width(),
                  stored->height >= MinStoredClientHeight ? stored->height
                                                          : DefaultClientSize.height())};
}

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
