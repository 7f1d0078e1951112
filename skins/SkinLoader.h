#pragma once

#include "frame/widgets/FramePictures.h"

#include <QImage>
#include <QString>

namespace taskwick {

// The files of a skin, in the order they are loaded.
enum class SkinFile { Right, Top, Down, TopRight, DownRight, LeftZoomCorner, RightZoomCorner };

QString skinFileName(SkinFile file);  // "Right.JPG" ... "RightZoomCorner.bmp"

struct SkinLoadResult {
    int filesLoaded = 0;       // how many of the seven, from the first on
    bool frameLoaded = false;  // the five frame pictures all loaded
};

// Loads the skin in `folder` (which ends with "/") into `pictures`, file by file in their
// order, each by its own format. The first file that is missing or not a picture of its
// format ends the load quietly: what was loaded before it stays, the rest keeps the pictures
// it had. File names are matched without regard to case.
SkinLoadResult loadSkinInto(const QString& folder, FramePictures& pictures);

// A zoom corner is drawn transparent where it has the colour of its bottom-left pixel.
QImage withBottomLeftColourTransparent(const QImage& bitmap);

}  // namespace taskwick
