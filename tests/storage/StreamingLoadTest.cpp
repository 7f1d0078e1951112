// The loader reads a file in passes straight into the table. Whatever it reads must come out
// exactly as the element tree of the whole document gives it: the same table, the same
// failures, the same report, for every file of the fuzz corpus and the hostile files.

#include "storage/ToDoListLoader.h"
#include "storage/XmlReader.h"
#include "texts/ErrorContexts.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

#include <random>

using namespace taskwick;

namespace {

class RecordingTarget : public LoadTarget {
public:
    TaskTable& table() override { return tasks; }
    QString currentSkinName() const override { return skinName; }
    QString currentSkinPath() const override { return skinPath; }
    void setCurrentSkinName(const QString& name) override { skinName = name; }
    void setCurrentSkinPath(const QString& path) override { skinPath = path; }
    void loadSkin() override { events << "skin " + skinPath + "|" + skinName; }
    void reportFailure(const QString& context) override { events << "box " + context; }

    TaskTable tasks;
    QString skinName = QStringLiteral("Default");
    QString skinPath = QStringLiteral("/skins");
    QStringList events;
};

// Everything a load leaves behind, in one comparable value.
struct Outcome {
    QList<QList<QString>> texts;
    int rows = 0;
    int cols = 0;
    std::vector<int> widths;
    std::vector<Alignment> alignments;
    bool bold = false;
    bool grid = false;
    QString skinName;
    QString skinPath;
    QStringList events;
    std::optional<StoredWindow> window;
    bool nothingApplied = false;
    bool dropped = false;
    bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(RecordingTarget& target, const LoadReport& report) {
    Outcome o;
    o.texts = target.tasks.storedTexts();
    // Trailing empty cells are no text: the two reads may store a row to different lengths.
    for (auto& row : o.texts) {
        while (!row.empty() && row.back().isEmpty()) {
            row.pop_back();
        }
    }
    while (!o.texts.empty() && o.texts.back().empty()) {
        o.texts.pop_back();
    }
    o.rows = target.tasks.rowCount();
    o.cols = target.tasks.colCount();
    for (int c = 0; c < o.cols; ++c) {
        o.widths.push_back(target.tasks.columnWidth(c));
    }
    o.alignments = target.tasks.columnAlignments();
    o.bold = target.tasks.captionsBold();
    o.grid = target.tasks.drawGridLines();
    o.skinName = target.skinName;
    o.skinPath = target.skinPath;
    o.events = target.events;
    o.window = report.window;
    o.nothingApplied = report.nothingApplied;
    o.dropped = report.droppedContent;
    return o;
}

// The loader as the program reads a file: the file's bytes (a copy of their own) are let go
// once they are read through, before any task is in the table.
Outcome streamed(const QByteArray& bytes) {
    RecordingTarget target;
    QByteArray content(bytes.constData(), bytes.size());
    bool tasksBeforeBytesWent = false;
    const LoadReport report = loadToDoList(&content, target, {}, [&](const LoadReport&) {
        const auto& rows = target.tasks.storedTexts();
        tasksBeforeBytesWent =
            std::any_of(rows.begin() + std::min<qsizetype>(1, rows.size()), rows.end(),
                        [](const QList<QString>& row) {
                            return std::any_of(row.begin(), row.end(),
                                               [](const QString& text) { return !text.isEmpty(); });
                        });
        content = QByteArray();
    });
    EXPECT_FALSE(tasksBeforeBytesWent);
    return outcomeOf(target, report);
}

// The same file read whole into an element tree first.
Outcome fromTree(const QByteArray& content) {
    RecordingTarget target;
    if (isBlankListContent(content)) {
        return outcomeOf(target, loadToDoListDocument(XmlDocument(), target));
    }
    const auto document = readXmlDocument(content);
    if (!document) {
        target.reportFailure(errorContext::LoadDocument);
        return outcomeOf(target, LoadReport{std::nullopt, true, false});
    }
    return outcomeOf(target, loadToDoListDocument(*document, target));
}

void expectSameLoad(const QByteArray& content, const QString& what) {
    const Outcome tree = fromTree(content);
    const Outcome stream = streamed(content);
    EXPECT_TRUE(stream == tree) << what.toStdString() << ": events "
                                << stream.events.join(", ").toStdString() << " / "
                                << tree.events.join(", ").toStdString();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList filesIn(const QString& folder) {
    QStringList paths;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        paths << folder + "/" + name;
    }
    return paths;
}

const QString kSource = QStringLiteral(TASKWICK_SOURCE_DIR);

}  // namespace

TEST(StreamingLoadTest, everyFileOfTheFuzzCorpusAndTheEndToEndData) {
    const QStringList files =
        filesIn(kSource + "/fuzz/corpus") + filesIn(kSource + "/tests/e2e/data");
    ASSERT_GE(files.size(), 10);
    for (const QString& path : files) {
        expectSameLoad(readFile(path), path);
    }
}

// The hostile files: every truncation of a saved list and thousands of flipped bytes.
TEST(StreamingLoadTest, truncationsAndByteFlipsOfASavedList) {
    const QByteArray example = readFile(kSource + "/tests/e2e/data/two_tasks.xml");
    ASSERT_FALSE(example.isEmpty());
    for (qsizetype length = 0; length <= example.size(); ++length) {
        expectSameLoad(example.first(length), QStringLiteral("first %1 bytes").arg(length));
    }
    std::mt19937 random(24);
    for (int attempt = 0; attempt < 3000; ++attempt) {
        QByteArray flipped = example;
        const int flips = 1 + attempt % 4;
        for (int k = 0; k < flips; ++k) {
            const auto at =
                static_cast<qsizetype>(random() % static_cast<unsigned>(flipped.size()));
            flipped[at] = static_cast<char>(random() % 256);
        }
        expectSameLoad(flipped, QStringLiteral("flipped file %1").arg(attempt));
    }
}

// The cases where reading the bytes could part from reading the decoded text: broken UTF-8
// next to markup, names that differ in bytes but not in characters, other encodings, and the
// rules for what the table takes.
TEST(StreamingLoadTest, brokenSequencesOtherEncodingsAndTheTableRules) {
    const QByteArray head =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><ToDoList>"
        "<ColumnInfo><RowCount>2</RowCount><ColumnCount>2</ColumnCount>"
        "</ColumnInfo><ToDoContent>";
    const QList<QByteArray> contents = {
        "<Column><Text>a\xE2\x82</Text><Text>\xC3</Text></Column>",
        "<Column><Text>\x80\xBF x</Text><Text>\xF0\x9F\x98</Text></Column>",
        "<Column><T\xC3>x</T\xC3><T\xFF>y</T\xFE><Text>z</Text></Column>",
        "<Column><T\xC3\xA4>x</T\xC3\xA4><Text>&#xD83D;&#xDE00;&amp;&bogus;</Text></Column>",
        "<Column><Text>1</Text><Text>2</Text><Text>3</Text><Text> </Text></Column>",
        "<Column><Text/><Text><b>x</b></Text><Text>y</Text></Column><Column/><Column>"
        "<Text>hidden</Text></Column><Column><Text>far</Text></Column>",
        "<Column><Text><!-- c -->x</Text><Text>   </Text></Column><Column><Text>cut",
        "<Column><Text>open</Text><Text>",
    };
    for (const QByteArray& rows : contents) {
        expectSameLoad(head + rows + "</ToDoContent></ToDoList>",
                       QString::fromLatin1(rows.toHex()));
        expectSameLoad(head + rows, "unclosed " + QString::fromLatin1(rows.toHex()));
    }
    const QByteArray body =
        "<todolist><SKIN><SkinName>Blue</SkinName><SkinPath>/p</SkinPath>"
        "</SKIN><ToDoContent><Column><Text>caf\xE9 \x80</Text></Column>"
        "</ToDoContent><skin><SkinName>Red</SkinName></skin></todolist>";
    expectSameLoad(body, "code page 1252");
    expectSameLoad("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body, "declared UTF-8");
    expectSameLoad("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>" + body, "declared iconv");
    QByteArray utf16 = "\xFF\xFE";
    for (const QChar c : QString::fromLatin1(body)) {
        utf16.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    }
    expectSameLoad(utf16, "UTF-16");
    expectSameLoad(utf16.chopped(1), "UTF-16 cut in a unit");
    expectSameLoad("\xEF\xBB\xBF\xEF\xBB\xBF<ToDoList/>", "two byte-order marks");
    expectSameLoad("\xEF\xBB\xBF<?xml encoding=\"klingon\"?><ToDoList/>", "unknown encoding");
    expectSameLoad(QByteArray("<ToDoList>") + QByteArray("<x>").repeated(20000) +
                       QByteArray("</x>").repeated(20000) + "</ToDoList>",
                   "deeply nested");
}
