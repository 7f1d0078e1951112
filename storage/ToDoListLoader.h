#pragma once

#include "storage/XmlTree.h"
#include "table/model/TaskTable.h"

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

namespace taskwick {

struct ScreenMetrics {
    QRect primaryScreen;   // the window is centred on this one
    QRect virtualDesktop;  // union of all screens; stored positions are tested against it
};

// What the loader restores into: the main window implements it, tests fake it.
class LoadTarget {
public:
    virtual ~LoadTarget() = default;

    // The window's size before the load; the placement test and the centring use it.
    virtual QSize windowSize() const = 0;
    virtual void setWindowPlacement(int left, int top, int clientWidth, int clientHeight) = 0;
    virtual int minClientWidth() const = 0;
    virtual ScreenMetrics screenMetrics() const = 0;

    virtual TaskTable& table() = 0;

    virtual QString currentSkinName() const = 0;
    virtual QString currentSkinPath() const = 0;
    virtual void setCurrentSkinName(const QString& name) = 0;
    virtual void setCurrentSkinPath(const QString& path) = 0;
    // A symbolic link to a folder counts as a folder.
    virtual bool directoryExists(const QString& path) const;
    // Loads the pictures of skinsFolder + skinName into the frame.
    virtual void loadSkin() = 0;

    virtual void reportFailure(const QString& context) = 0;
};

inline constexpr int DefaultClientWidth = 370;
inline constexpr int DefaultClientHeight = 211;
inline constexpr int MinStoredClientHeight = 50;
inline constexpr int MinColumnWidth = 2;
inline constexpr int FallbackTaskRows = 5;
inline constexpr int FallbackColumns = 3;

// What a load did with the file besides the failures it reported.
struct LoadReport {
    // The document could not be read at all: nothing of the file was applied.
    bool nothingApplied = false;
    // The file holds tasks the table does not take, which the next save would not write
    // back: texts in rows past the row count or in columns past the column count, or counts
    // cut down to the table's limits.
    bool droppedContent = false;
};

// Restores the window placement, the table, its column settings and the skin from the file
// content. No content (the file could not be read) or content that is not well-formed
// applies nothing of the file and reports "XMLloadToDoList"; otherwise each of the five
// sections reports its own failure and the others still run. Empty or blank content is an
// empty document: every section misses its element. `beforeFirstFailure` runs once, before
// the first failure is reported.
LoadReport loadToDoList(const QByteArray* content, LoadTarget& target,
                        const std::function<void()>& beforeFirstFailure = {});

// The sections alone, on a document already read; a document without nodes is empty.
LoadReport loadToDoListDocument(const XmlDocument& document, LoadTarget& target,
                                const std::function<void()>& beforeFirstFailure = {});

// True for content that reads as an empty document: nothing but white space after an optional
// byte-order mark. Such a file holds nothing that could be lost.
bool isBlankListContent(const QByteArray& content);

// Reads the file whole and loads it; a file that cannot be read is reported like content
// that is not well-formed.
void loadToDoListFile(const QString& path, LoadTarget& target);

}  // namespace taskwick
