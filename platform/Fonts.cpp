#include "platform/Fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace taskwick {

namespace {

const QString Tahoma = QStringLiteral("Tahoma");

// With the same family from two foundries, the database names them "Tahoma [Foundry]".
bool isTahoma(const QString& family) {
    return family.compare(Tahoma, Qt::CaseInsensitive) == 0 ||
           family.startsWith(Tahoma + QStringLiteral(" ["), Qt::CaseInsensitive);
}

bool tahomaAvailable() {
    const QStringList families = QFontDatabase::families();
    return std::any_of(families.begin(), families.end(), isTahoma);
}

}  // namespace

bool registerTahomaWhenMissing(const QString& folder) {
    if (tahomaAvailable()) {
        return true;
    }
    const QDir dir(folder);
    for (const QString& name : {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")}) {
        const QString path = dir.filePath(name);
        if (!QFileInfo(path).isFile()) {
            continue;
        }
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0) {
            continue;
        }
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (std::none_of(families.begin(), families.end(), isTahoma)) {
            // Some other font under Tahoma's file name: keep it out of the program's fonts.
            QFontDatabase::removeApplicationFont(id);
        }
    }
    return tahomaAvailable();
}

}  // namespace taskwick
