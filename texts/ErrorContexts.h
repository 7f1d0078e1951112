#pragma once

#include <QString>

// The names under which a failure is reported in the unexpected-error box ("Exception in
// FormCreate"). Users quote them in their reports, so they keep the words they always had,
// whatever the code that reports them is called now.
namespace taskwick::errorContext {

inline const QString StartUp = QStringLiteral("FormCreate");
inline const QString StartTimer = QStringLiteral("tmrAnwendungsStartOnTimerTimer");
inline const QString Close = QStringLiteral("FormCloseQuery");
inline const QString Exit = QStringLiteral("Close");
inline const QString Restart = QStringLiteral("Restart");
inline const QString OpenFileFolder = QStringLiteral("OpenFolderHereClick");
inline const QString FoldToggle = QStringLiteral("ImageRedButtonAufklapperClick");
inline const QString FoldTick = QStringLiteral("Timer1Timer");
inline const QString TrayClick = QStringLiteral("TrayIconClick");
inline const QString FitColumns = QStringLiteral("AdjustColumnWidths");
inline const QString StartSkin = QStringLiteral("testStartSkin");
inline const QString SkinChoice = QStringLiteral("mnuSelectedSkinClick");
inline const QString DrawCell = QStringLiteral("DrawCell");
inline const QString PasteText = QStringLiteral("DeleteLineBreaks");
inline const QString LoadDocument = QStringLiteral("XMLloadToDoList");
inline const QString LoadWindowPosition = QStringLiteral("Load WindowPosition");
inline const QString LoadColumnInfo = QStringLiteral("Load ColumnInfo");
inline const QString LoadSkin = QStringLiteral("Load Skin");
inline const QString LoadColumnHeader = QStringLiteral("Load ColumnHeader");
inline const QString LoadContent = QStringLiteral("Load ToDoContent");
inline const QString SaveBuild = QStringLiteral("XMLsaveToDoList-create XML Node");

}  // namespace taskwick::errorContext
