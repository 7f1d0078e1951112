#pragma once

#include "frame/widgets/FramePictures.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include <memory>
#include <vector>

namespace taskwick {

class SkinFolder;

// The files of a skin, in the order they are loaded.
enum class SkinFile { Right, Top, Down, TopRight, DownRight, LeftZoomCorner, RightZoomCorner };

QString skinFileName(SkinFile file);  // "Right.JPG" ... "RightZoomCorner.bmp"

// How large a skin's pictures can show: no strip is stretched beyond the screens' whole area,
// the strips are 30 frame pixels thick (the right one 180 wide, of which 30 show), and the
// pieces drawn at their own size show at most 250 x 100 (the corners) and 30 x 30 (the zoom
// corners) of their pixels.
struct SkinShowSizes {
    QSize screens{1920, 1080};  // the union of the screens, in device pixels
    qreal pixelRatio = 1.0;     // device pixels per frame pixel

    // From the application's screens.
    static SkinShowSizes ofScreens();
};

// A bitmap larger than this many pixels is not read: a bitmap cannot be read in part, and
// only 30 x 30 of it ever shows.
inline constexpr qint64 MaxBitmapPixels = 4096 * 4096;

// A skin's pictures as read from its folder, in file order, up to the first file that cannot
// be read. Images only, so that they can be read on any thread.
struct SkinImages {
    std::vector<QImage> images;
};

struct SkinLoadResult {
    int filesLoaded = 0;       // how many of the seven, from the first on
    bool frameLoaded = false;  // the five frame pictures all loaded
};

// Reads the skin in `folder` (which ends with "/"), file by file in their order, each by its
// own format and at no more than the size it shows at: a large picture is scaled or cut while
// it is decoded, so it never lies in memory whole. The first file that is missing or not a
// picture of its format ends the read. File names are matched without regard to case.
SkinImages readSkin(const QString& folder, const SkinShowSizes& sizes);

// Puts what was read into `pictures`; the pictures after the last one read keep what they had.
SkinLoadResult applySkin(const SkinImages& skin, FramePictures& pictures);

// Reads skins on a thread of its own, one after another, so that a skin of large pictures
// never holds up the window; each skin's pictures come back on the reader's thread, in the
// order the reads were asked for.
class SkinReader : public QObject {
    Q_OBJECT
public:
    explicit SkinReader(QObject* parent = nullptr);
    ~SkinReader() override;

    void read(std::shared_ptr<const SkinFolder> folder, const SkinShowSizes& sizes);

signals:
    // What could be read of the skin in `folder`: no pictures at all when its first could not.
    void skinRead(std::shared_ptr<const taskwick::SkinFolder> folder,
                  const taskwick::SkinImages& skin);

private:
    QThreadPool thread_;
};

}  // namespace taskwick
