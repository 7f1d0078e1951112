#pragma once

#include <QString>

namespace taskwick {

// Where Debian's fonts-wine package keeps its fonts; fontconfig does not look there.
inline const QString WineFontFolder = QStringLiteral("/usr/share/wine/fonts");

// The table is set in Tahoma, which Linux desktops rarely have; the fallbacks are wider and cut
// the first-run texts. When the system has no Tahoma of its own, registers the metric-compatible
// copy in folder (tahoma.ttf and tahomabd.ttf) for this process. Files that are missing, cannot
// be read or hold another family are left out, and the fallbacks stay. Returns whether Tahoma
// is available afterwards. Call after the QGuiApplication exists and before any widget font is
// made.
bool registerTahomaWhenMissing(const QString& folder = WineFontFolder);

}  // namespace taskwick
