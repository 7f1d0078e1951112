#include "frame/widgets/FramePictures.h"

#include "resources/Resources.h"

#include <QString>

namespace taskwick {

namespace {

QPixmap builtInPicture(const QString& file) {
    initResources();
    return QPixmap(QStringLiteral(":/frame/") + file);
}

}  // namespace

FramePictures FramePictures::builtIn() {
    FramePictures p;
    p.top = builtInPicture(QStringLiteral("top.jpg"));
    p.bottom = builtInPicture(QStringLiteral("bottom.jpg"));
    p.right = builtInPicture(QStringLiteral("right.jpg"));
    p.topRight = builtInPicture(QStringLiteral("top-right.jpg"));
    p.bottomRight = builtInPicture(QStringLiteral("bottom-right.jpg"));
    p.redBar = builtInPicture(QStringLiteral("red-bar.jpg"));
    p.logo = builtInPicture(QStringLiteral("logo.png"));
    return p;
}

ButtonPictures ButtonPictures::builtIn(const char* name, const char* extension) {
    const QString base = QLatin1String(name);
    const QString ext = QLatin1Char('.') + QLatin1String(extension);
    return {builtInPicture(base + ext), builtInPicture(base + QStringLiteral("-hover") + ext),
            builtInPicture(base + QStringLiteral("-pressed") + ext)};
}

}  // namespace taskwick
