#pragma once

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

namespace taskwick::testing {

// Writes the first `count` of a skin's seven files into `folder` (made when missing), all in
// one color, with Qt's own writers: a skin made by the test itself.
inline bool makeSkin(const QString& folder, QColor color, int count = 7) {
    const struct {
        const char* file;
        QSize size;
        const char* format;
    } files[] = {
        {"Right.JPG", {30, 180}, "JPEG"},         {"Top.JPG", {500, 30}, "JPEG"},
        {"Down.JPG", {500, 30}, "JPEG"},          {"TopRight.JPG", {100, 100}, "JPEG"},
        {"DownRight.JPG", {100, 100}, "JPEG"},    {"LeftZoomCorner.bmp", {30, 30}, "BMP"},
        {"RightZoomCorner.bmp", {30, 30}, "BMP"},
    };
    if (!QDir().mkpath(folder)) {
        return false;
    }
    for (int i = 0; i < count && i < 7; ++i) {
        QImage image(files[i].size, QImage::Format_RGB32);
        image.fill(color);
        if (!image.save(folder + "/" + files[i].file, files[i].format)) {
            return false;
        }
    }
    return true;
}

// A whole skin whose five frame pictures are `size` x `size` JPEGs of one color.
inline bool makeLargeSkin(const QString& folder, QColor color, int size) {
    if (!makeSkin(folder, color)) {
        return false;
    }
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(color);
    const QString right = folder + "/Right.JPG";
    if (!image.save(right, "JPEG")) {
        return false;
    }
    for (const char* name : {"Top.JPG", "Down.JPG", "TopRight.JPG", "DownRight.JPG"}) {
        QFile::remove(folder + "/" + name);
        if (!QFile::copy(right, folder + "/" + name)) {
            return false;
        }
    }
    return true;
}

// JPEG moves colors a little.
inline bool nearColor(QRgb a, QColor b, int tolerance = 8) {
    return std::abs(qRed(a) - b.red()) < tolerance && std::abs(qGreen(a) - b.green()) < tolerance &&
           std::abs(qBlue(a) - b.blue()) < tolerance;
}

}  // namespace taskwick::testing
