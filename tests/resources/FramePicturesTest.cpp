#include "resources/Resources.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace taskwick;

namespace {

struct FramePicture {
    QString name;
    QByteArray format;
    QSize size;
};

// What the window's frame loads, by name, in the formats and sizes it draws them at.
std::vector<FramePicture> framePictures() {
    std::vector<FramePicture> list = {
        {"top.jpg", "jpeg", {500, 30}},           {"bottom.jpg", "jpeg", {500, 30}},
        {"right.jpg", "jpeg", {30, 180}},         {"top-right.jpg", "jpeg", {100, 100}},
        {"bottom-right.jpg", "jpeg", {100, 100}}, {"red-bar.jpg", "jpeg", {25, 150}},
        {"logo.png", "png", {252, 30}},
    };
    const QStringList states = {"", "-hover", "-pressed"};
    for (const QString icon : {"shrink", "minimize", "exit"}) {
        for (const QString& state : states) {
            list.push_back({icon + state + ".jpg", "jpeg", {16, 16}});
        }
    }
    for (const QString button : {"plus", "minus"}) {
        for (const QString& state : states) {
            list.push_back({button + state + ".png", "png", {9, 9}});
        }
    }
    return list;
}

QImage framePicture(const char* name) {
    initResources();
    return QImage(QStringLiteral(":/frame/") + QLatin1String(name));
}

bool hasTransparentPixel(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).alpha() < 255) {
                return true;
            }
        }
    }
    return false;
}

// The largest difference of one color channel; JPEG leaves a few levels between equal areas.
int difference(QColor a, QColor b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())});
}

int largestDifference(const QImage& a, QPoint fromA, const QImage& b, QPoint fromB, QSize size) {
    int largest = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            largest = std::max(largest, difference(a.pixelColor(fromA + QPoint(x, y)),
                                                   b.pixelColor(fromB + QPoint(x, y))));
        }
    }
    return largest;
}

constexpr int JpegTolerance = 6;

}  // namespace

TEST(FramePictures, everyPictureLoadsInItsFormatAndSize_andNothingElseIsThere) {
    initResources();
    QStringList expected;
    for (const FramePicture& picture : framePictures()) {
        SCOPED_TRACE(picture.name.toStdString());
        expected << picture.name;
        QImageReader reader(QStringLiteral(":/frame/") + picture.name);
        EXPECT_EQ(reader.format(), picture.format);
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), picture.size);
        // The PNGs lie over both the frame and the table, so they must be see-through in places.
        const bool png = picture.format == "png";
        EXPECT_EQ(image.hasAlphaChannel(), png);
        if (png) {
            EXPECT_TRUE(hasTransparentPixel(image));
        }
    }
    QStringList present = QDir(QStringLiteral(":/frame")).entryList();
    present.sort();
    expected.sort();
    EXPECT_EQ(present, expected);
}

TEST(FramePictures, cornersAndIconsJoinTheStripsTheyCover) {
    const QImage top = framePicture("top.jpg");
    const QImage bottom = framePicture("bottom.jpg");
    const QImage right = framePicture("right.jpg");
    const QImage topRight = framePicture("top-right.jpg");
    const QImage bottomRight = framePicture("bottom-right.jpg");

    // The strips are stretched along their length, the corners continue them: the top 30 rows
    // of the top-right corner (up to the outline of the window's edge) are the top strip, its
    // right 30 columns below them the right strip; the same at the bottom.
    EXPECT_LE(largestDifference(topRight, {0, 0}, top, {400, 0}, {96, 30}), JpegTolerance);
    EXPECT_LE(largestDifference(topRight, {70, 30}, right, {0, 30}, {30, 70}), JpegTolerance);
    EXPECT_LE(largestDifference(bottomRight, {0, 70}, bottom, {400, 0}, {96, 30}), JpegTolerance);
    EXPECT_LE(largestDifference(bottomRight, {70, 0}, right, {0, 100}, {30, 70}), JpegTolerance);

    // The icons sit at row 7: shrink and minimise on the top-right corner 37 and 57 pixels from
    // its left; exit 77 from it, and at the top strip's left end in the folded bar. Their
    // outer rows and columns show the strip behind them.
    const struct {
        const char* name;
        int left;
    } icons[] = {{"shrink.jpg", 37}, {"minimize.jpg", 57}, {"exit.jpg", 77}};
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.name);
        const QImage image = framePicture(icon.name);
        for (const QRect& edge :
             {QRect(0, 0, 16, 1), QRect(0, 15, 16, 1), QRect(0, 0, 1, 16), QRect(15, 0, 1, 16)}) {
            EXPECT_LE(largestDifference(image, edge.topLeft(), topRight,
                                        edge.topLeft() + QPoint(icon.left, 7), edge.size()),
                      JpegTolerance);
            EXPECT_LE(largestDifference(image, edge.topLeft(), top, edge.topLeft() + QPoint(7, 7),
                                        edge.size()),
                      JpegTolerance);
        }
    }
}

TEST(FramePictures, redBarIsClearlyRed) {
    const QImage bar = framePicture("red-bar.jpg");
    for (int x = 2; x < bar.width() - 2; ++x) {
        const QColor color = bar.pixelColor(x, 75);
        EXPECT_GT(color.red() - std::max(color.green(), color.blue()), 90) << "column " << x;
    }
}
