#pragma once

#include "storage/XmlTree.h"
#include "table/model/TaskTable.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace taskwick {

// What the loader restores into besides what it reports (LoadReport): the table and the skin.
// The main window implements it, tests fake it.
class LoadTarget {
public:
    virtual ~LoadTarget() = default;

    virtual TaskTable& table() = 0;

    virtual QString currentSkinName() const = 0;
    virtual QString currentSkinPath() const = 0;
    virtual void setCurrentSkinName(const QString& name) = 0;
    virtual void setCurrentSkinPath(const QString& path) = 0;
    // Loads the pictures of the skin named by the current name into the frame: from the
    // current skins folder when the skin is there, otherwise from wherever it is found now.
    virtual void loadSkin() = 0;

    virtual void reportFailure(const QString& context) = 0;
};

inline constexpr int MinColumnWidth = 2;
inline constexpr int FallbackTaskRows = 5;
inline constexpr int FallbackColumns = 3;

// The window's place and client size as the file stores them, not yet checked against the
// screens: the window decides what to make of them.
struct StoredWindow {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const StoredWindow&, const StoredWindow&) = default;
};

// What a load did with the file besides the failures it reported.
struct LoadReport {
    // What the file says about the window; none when its section failed or nothing applied.
    std::optional<StoredWindow> window;
    // The document could not be read at all: nothing of the file was applied.
    bool nothingApplied = false;
    // The file holds tasks the table does not take, which the next save would not write
    // back: texts in rows past the row count or in columns past the column count, or counts
    // cut down to the table's limits.
    bool droppedContent = false;
};

// Restores the table, its column settings and the skin from the file content, and reports
// where the file puts the window. No content (the file could not be read) or content that is not
// well-formed applies nothing of the file and reports "XMLloadToDoList"; otherwise each of the five
// sections reports its own failure and the others still run. Empty or blank content is an
// empty document: every section misses its element. `beforeFirstFailure` runs once, before
// the first failure is reported. `afterReading` runs once the content is read through and no
// longer looked at, before the tasks go into the table: the caller may let the content go
// there, so that the file's bytes and the finished table are never held at once.
using AfterReading = std::function<void(const LoadReport&)>;
LoadReport loadToDoList(const QByteArray* content, LoadTarget& target,
                        const std::function<void()>& beforeFirstFailure = {},
                        const AfterReading& afterReading = {});

// The sections alone, on a document already read; a document without nodes is empty.
LoadReport loadToDoListDocument(const XmlDocument& document, LoadTarget& target,
                                const std::function<void()>& beforeFirstFailure = {});

// Loads a version of the list into `into` alone: its table, not its skin nor its window's
// place. True when it reads completely, with no section failing.
bool loadListContent(const QByteArray& content, TaskTable& into, LoadReport* report = nullptr);

// True for content that reads as an empty document: nothing but white space after an optional
// byte-order mark. Such a file holds nothing that could be lost.
bool isBlankListContent(const QByteArray& content);

}  // namespace taskwick
