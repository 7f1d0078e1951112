#include "skins/SkinLoader.h"

#include "skins/SkinFolders.h"

#include <QImageReader>
#include <QPixmap>

#include <array>

namespace taskwick {

namespace {

struct FileSlot {
    SkinFile file;
    const char* name;
    const char* format;
    QPixmap FramePictures::*picture;
    bool transparentCorner;
};

constexpr std::array<FileSlot, 7> Files{{
    {SkinFile::Right, "Right.JPG", "jpeg", &FramePictures::right, false},
    {SkinFile::Top, "Top.JPG", "jpeg", &FramePictures::top, false},
    {SkinFile::Down, "Down.JPG", "jpeg", &FramePictures::bottom, false},
    {SkinFile::TopRight, "TopRight.JPG", "jpeg", &FramePictures::topRight, false},
    {SkinFile::DownRight, "DownRight.JPG", "jpeg", &FramePictures::bottomRight, false},
    {SkinFile::LeftZoomCorner, "LeftZoomCorner.bmp", "bmp", &FramePictures::leftZoomCorner, true},
    {SkinFile::RightZoomCorner, "RightZoomCorner.bmp", "bmp", &FramePictures::rightZoomCorner,
     true},
}};

constexpr int FramePictureCount = 5;

QImage readPicture(const QString& folder, const FileSlot& slot) {
    const QString found = findEntryIgnoringCase(folder, QLatin1String(slot.name), false);
    if (found.isEmpty()) {
        return {};
    }
    QImageReader reader(folder + found, slot.format);
    return reader.read();
}

}  // namespace

QString skinFileName(SkinFile file) {
    return QLatin1String(Files[static_cast<std::size_t>(file)].name);
}

QImage withBottomLeftColourTransparent(const QImage& bitmap) {
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) {
        return image;
    }
    const QRgb key = image.pixel(0, image.height() - 1);
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

SkinLoadResult loadSkinInto(const QString& folder, FramePictures& pictures) {
    SkinLoadResult result;
    for (const FileSlot& slot : Files) {
        QImage image = readPicture(folder, slot);
        if (image.isNull()) {
            break;
        }
        if (slot.transparentCorner) {
            image = withBottomLeftColourTransparent(image);
        }
        pictures.*slot.picture = QPixmap::fromImage(image);
        ++result.filesLoaded;
        if (result.filesLoaded == FramePictureCount) {
            result.frameLoaded = true;
        }
    }
    return result;
}

}  // namespace taskwick
