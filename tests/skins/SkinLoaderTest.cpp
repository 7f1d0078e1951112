// Loading a skin made by the test into the frame's pictures: the files in their order, the
// stop at the first one that cannot be loaded, and the transparent zoom corners.
#include "skins/SkinLoader.h"
#include "tests/support/SkinMaker.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace taskwick;

namespace {

QRgb colorOf(const QPixmap& pixmap) {
    return pixmap.toImage().pixel(0, 0);
}

// A skin folder with the first `count` of the seven files.
QString makeSkin(const QTemporaryDir& dir, const QString& name, int count) {
    const QString folder = dir.filePath(name) + "/";
    EXPECT_TRUE(taskwick::testing::makeSkin(folder, QColor(0, 200, 0), count));
    return folder;
}

// Reads the skin and puts it on the pictures, as the window does.
SkinLoadResult loadSkinInto(const QString& folder, FramePictures& pictures) {
    return applySkin(readSkin(folder, SkinShowSizes::ofScreens()), pictures);
}

}  // namespace

TEST(SkinLoader, aWholeSkinDressesEveryPicture_andTheCornersAreTransparent) {
    QTemporaryDir dir;
    FramePictures pictures;
    const SkinLoadResult result = loadSkinInto(makeSkin(dir, "Ocean", 7), pictures);
    EXPECT_EQ(result.filesLoaded, 7);
    EXPECT_TRUE(result.frameLoaded);
    EXPECT_TRUE(taskwick::testing::nearColor(colorOf(pictures.right), QColor(0, 200, 0)));
    EXPECT_TRUE(taskwick::testing::nearColor(colorOf(pictures.top), QColor(0, 200, 0)));
    EXPECT_EQ(pictures.right.size(), QSize(30, 180));
    EXPECT_EQ(pictures.topRight.size(), QSize(100, 100));
    EXPECT_EQ(qAlpha(pictures.leftZoomCorner.toImage().pixel(5, 5)), 0);

    // The bottom-left pixel's color is the transparent one, wherever it appears.
    const QString folder = makeSkin(dir, "Corner", 7);
    QImage corner(4, 4, QImage::Format_RGB32);
    corner.fill(Qt::white);
    corner.setPixel(0, 3, qRgb(10, 20, 30));
    corner.setPixel(2, 1, qRgb(10, 20, 30));
    ASSERT_TRUE(corner.save(folder + "LeftZoomCorner.bmp", "BMP"));
    FramePictures cornered;
    ASSERT_EQ(loadSkinInto(folder, cornered).filesLoaded, 7);
    const QImage clear = cornered.leftZoomCorner.toImage();
    EXPECT_EQ(qAlpha(clear.pixel(0, 3)), 0);
    EXPECT_EQ(qAlpha(clear.pixel(2, 1)), 0);
    EXPECT_EQ(clear.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(SkinLoader, theFirstFileThatCannotBeLoaded_endsTheLoadQuietly) {
    QTemporaryDir dir;
    const QPixmap before(7, 7);
    auto fresh = [&] {
        FramePictures p;
        p.topRight = p.bottomRight = p.leftZoomCorner = before;
        return p;
    };

    // Only the three strips: they change, the corner pieces keep what they had.
    FramePictures strips = fresh();
    SkinLoadResult r = loadSkinInto(makeSkin(dir, "Strips", 3), strips);
    EXPECT_EQ(r.filesLoaded, 3);
    EXPECT_FALSE(r.frameLoaded);
    EXPECT_EQ(strips.topRight.size(), QSize(7, 7));

    // A damaged corner piece: nothing after it is loaded.
    const QString damaged = makeSkin(dir, "Damaged", 7);
    QFile file(damaged + "TopRight.JPG");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a picture");
    file.close();
    FramePictures broken = fresh();
    r = loadSkinInto(damaged, broken);
    EXPECT_EQ(r.filesLoaded, 3);
    EXPECT_EQ(broken.bottomRight.size(), QSize(7, 7));

    // The five frame pictures without the bitmaps: the frame counts as loaded.
    FramePictures five = fresh();
    r = loadSkinInto(makeSkin(dir, "Five", 5), five);
    EXPECT_EQ(r.filesLoaded, 5);
    EXPECT_TRUE(r.frameLoaded);
    EXPECT_EQ(five.leftZoomCorner.size(), QSize(7, 7));

    // Names in another case, as a skin copied from another file system may have them.
    const QString lower = makeSkin(dir, "Lower", 7);
    for (const QString& name : QDir(lower).entryList(QDir::Files)) {
        QFile::rename(lower + name, lower + name.toLower());
    }
    FramePictures relaxed;
    EXPECT_EQ(loadSkinInto(lower, relaxed).filesLoaded, 7);

    FramePictures none;
    EXPECT_EQ(loadSkinInto(dir.filePath("Missing/"), none).filesLoaded, 0);
}
