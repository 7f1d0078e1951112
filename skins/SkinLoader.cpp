#include "skins/SkinLoader.h"

#include "skins/SkinFolders.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <array>
#include <cmath>

namespace taskwick {

namespace {

// How a picture shows in its box, and so how much of it is worth reading.
enum class Shown { StretchedAcross, StretchedDown, Corner, ZoomCorner };

struct FileSlot {
    SkinFile file;
    const char* name;
    const char* format;
    QPixmap FramePictures::*picture;
    Shown shown;
};

constexpr std::array<FileSlot, 7> Files{{
    {SkinFile::Right, "Right.JPG", "jpeg", &FramePictures::right, Shown::StretchedDown},
    {SkinFile::Top, "Top.JPG", "jpeg", &FramePictures::top, Shown::StretchedAcross},
    {SkinFile::Down, "Down.JPG", "jpeg", &FramePictures::bottom, Shown::StretchedAcross},
    {SkinFile::TopRight, "TopRight.JPG", "jpeg", &FramePictures::topRight, Shown::Corner},
    {SkinFile::DownRight, "DownRight.JPG", "jpeg", &FramePictures::bottomRight, Shown::Corner},
    {SkinFile::LeftZoomCorner, "LeftZoomCorner.bmp", "bmp", &FramePictures::leftZoomCorner,
     Shown::ZoomCorner},
    {SkinFile::RightZoomCorner, "RightZoomCorner.bmp", "bmp", &FramePictures::rightZoomCorner,
     Shown::ZoomCorner},
}};

constexpr int FramePictureCount = 5;
constexpr int StripThickness = 30;
constexpr int RightStripWidth = 180;
constexpr QSize CornerBox(250, 100);
constexpr QSize ZoomCornerBox(30, 30);

int devicePixels(int framePixels, qreal ratio) {
    return int(std::ceil(framePixels * ratio));
}

// Every pixel of `key`'s color becomes transparent.
QImage withColorTransparent(const QImage& picture, QRgb key) {
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    return image;
}

QImage readZoomCorner(QImageReader& reader) {
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > MaxBitmapPixels) {
        return {};
    }
    const QImage whole = reader.read();
    if (whole.isNull()) {
        return whole;
    }
    // The transparent color is the whole bitmap's bottom-left pixel, even where that lies
    // outside the part that shows.
    return withColorTransparent(
        whole.copy(QRect(QPoint(0, 0), whole.size().boundedTo(ZoomCornerBox))),
        whole.pixel(0, whole.height() - 1));
}

QImage readPicture(const QString& folder, const FileSlot& slot, const SkinShowSizes& sizes) {
    const QString found = findEntryIgnoringCase(folder, QLatin1String(slot.name), EntryKind::File);
    if (found.isEmpty()) {
        return {};
    }
    QImageReader reader(folder + found, slot.format);
    const QSize size = reader.size();  // from the header alone
    if (!size.isValid()) {
        return {};
    }
    const qreal ratio = sizes.pixelRatio;
    switch (slot.shown) {
        case Shown::StretchedAcross:
            reader.setScaledSize(
                QSize(std::min(size.width(), sizes.screens.width()),
                      std::min(size.height(), devicePixels(StripThickness, ratio))));
            break;
        case Shown::StretchedDown:
            reader.setScaledSize(QSize(std::min(size.width(), devicePixels(RightStripWidth, ratio)),
                                       std::min(size.height(), sizes.screens.height())));
            break;
        case Shown::Corner:
            reader.setClipRect(QRect(QPoint(0, 0), size.boundedTo(CornerBox)));
            break;
        case Shown::ZoomCorner:
            return readZoomCorner(reader);
    }
    return reader.read();
}

}  // namespace

SkinShowSizes SkinShowSizes::ofScreens() {
    SkinShowSizes sizes;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return sizes;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        sizes.pixelRatio = std::max(sizes.pixelRatio, screen->devicePixelRatio());
    }
    const QSize area = primary->virtualGeometry().size();
    sizes.screens = QSize(devicePixels(area.width(), sizes.pixelRatio),
                          devicePixels(area.height(), sizes.pixelRatio));
    return sizes;
}

QString skinFileName(SkinFile file) {
    return QLatin1String(Files[static_cast<std::size_t>(file)].name);
}

SkinImages readSkin(const QString& folder, const SkinShowSizes& sizes) {
    SkinImages skin;
    for (const FileSlot& slot : Files) {
        QImage image = readPicture(folder, slot, sizes);
        if (image.isNull()) {
            break;
        }
        skin.images.push_back(std::move(image));
    }
    return skin;
}

SkinLoadResult applySkin(const SkinImages& skin, FramePictures& pictures) {
    SkinLoadResult result;
    for (std::size_t i = 0; i < skin.images.size() && i < Files.size(); ++i) {
        pictures.*Files[i].picture = QPixmap::fromImage(skin.images[i]);
        ++result.filesLoaded;
    }
    result.frameLoaded = result.filesLoaded >= FramePictureCount;
    return result;
}

SkinReader::SkinReader(QObject* parent) : QObject(parent) {
    thread_.setMaxThreadCount(1);  // one after another, so they finish in the order asked
}

SkinReader::~SkinReader() {
    thread_.waitForDone();
}

void SkinReader::read(std::shared_ptr<const SkinFolder> folder, const SkinShowSizes& sizes) {
    thread_.start([this, folder = std::move(folder), sizes] {
        SkinImages skin = readSkin(folder->path(), sizes);
        QMetaObject::invokeMethod(
            this,
            [this, folder = std::move(folder), skin = std::move(skin)] {
                emit skinRead(folder, skin);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace taskwick
