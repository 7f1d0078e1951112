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
    // Whether a file brought Tahoma is told by its own families: asking the whole database
    // again would have it built a second time, which costs a start several milliseconds.
    bool registered = false;
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
        if (std::any_of(families.begin(), families.end(), isTahoma)) {
            registered = true;
        } else {
            // Some other font under Tahoma's file name: keep it out of the program's fonts.
            QFontDatabase::removeApplicationFont(id);
        }
    }
    return registered;
}

}  // namespace taskwick
