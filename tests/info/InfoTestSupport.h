#pragma once

#include <QDesktopServices>
#include <QImage>
#include <QList>
#include <QObject>
#include <QUrl>

namespace taskwick::test {

// Receives every https address the program asks the desktop to open, in place of a browser.
class OpenedPages : public QObject {
    Q_OBJECT
public:
    OpenedPages() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~OpenedPages() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> pages;

public slots:
    void open(const QUrl& address) { pages.append(address); }
};

// Pixels of a piece of a grabbed picture by what dominates them.
inline bool isBlue(QRgb p) {
    return qBlue(p) > 150 && qRed(p) < 110 && qGreen(p) < 110;
}
inline bool isRed(QRgb p) {
    return qRed(p) > 150 && qGreen(p) < 110 && qBlue(p) < 110;
}

inline int countPixels(const QImage& image, bool (*kind)(QRgb)) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += kind(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

// True when some row is colored across at least 80 per cent of the width: an underline
// (no letter has a horizontal stroke that long).
inline bool hasUnderline(const QImage& image, bool (*kind)(QRgb)) {
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            count += kind(image.pixel(x, y)) ? 1 : 0;
        }
        if (count * 5 >= image.width() * 4) {
            return true;
        }
    }
    return false;
}

}  // namespace taskwick::test
