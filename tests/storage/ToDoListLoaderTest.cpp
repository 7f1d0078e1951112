#include "storage/ToDoListLoader.h"

#include "storage/ToDoListSaver.h"
#include "storage/XmlTree.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace taskwick;

namespace {

// Hand-built element trees, so the loader is tested on exactly the tree it walks.
struct N {
    QString name;
    QString value;
    std::vector<N> children;
};

N leaf(const QString& name, const QString& value) {
    return N{name, value, {}};
}
N node(const QString& name, std::vector<N> children) {
    return N{name, {}, std::move(children)};
}

int addNode(XmlDocument& doc, const N& n) {
    const int index = static_cast<int>(doc.nodes().size());
    doc.nodes().push_back({n.name, n.value, {}});
    for (const N& child : n.children) {
        const int c = addNode(doc, child);
        doc.nodes()[static_cast<size_t>(index)].children.push_back(c);
    }
    return index;
}

XmlDocument documentOf(const N& root) {
    XmlDocument doc;
    addNode(doc, root);
    return doc;
}

N windowPosition(const QString& left, const QString& top, const QString& width,
                 const QString& height) {
    return node("WindowPosition", {leaf("Left", left), leaf("Top", top), leaf("Width", width),
                                   leaf("Height", height)});
}

N columnInfo(const QString& rows, const QString& cols) {
    return node("ColumnInfo", {leaf("RowCount", rows), leaf("ColumnCount", cols),
                               leaf("HeaderTextBold", "TRUE"), leaf("DrawGridLines", "FALSE")});
}

N headerColumn(const QString& caption, const QString& width, const QString& alignment) {
    return node("Column", {leaf("ColumnCaption", caption), leaf("ColumnWidth", width),
                           leaf("ColumnAlignment", alignment)});
}

N row(const QStringList& texts) {
    N r{"Column", {}, {}};
    for (const QString& t : texts) {
        r.children.push_back(leaf("Text", t));
    }
    return r;
}

class FakeWindow : public LoadTarget {
public:
    TaskTable& table() override { return tasks; }
    QString currentSkinName() const override { return skinName; }
    QString currentSkinPath() const override { return skinPath; }
    void setCurrentSkinName(const QString& name) override { skinName = name; }
    void setCurrentSkinPath(const QString& path) override { skinPath = path; }
    void loadSkin() override {
        if (skinThrows) {
            throw std::runtime_error("broken picture");
        }
        loadedSkins.push_back(skinPath + skinName);
    }
    void reportFailure(const QString& context) override {
        boxes.push_back(context);
        rowsAtBox.push_back(tasks.rowCount());
    }

    TaskTable tasks;
    QString skinName;
    QString skinPath;
    bool skinThrows = false;

    QStringList boxes;
    std::vector<int> rowsAtBox;
    QStringList loadedSkins;
};

// Loads a file's bytes as the program reads them.
LoadReport loadFile(const QString& path, LoadTarget& target) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return loadToDoList(nullptr, target);
    }
    const QByteArray content = file.readAll();
    return loadToDoList(&content, target);
}

// A document whose every section is complete, with the given window position.
N fullRoot(N position, std::vector<N> extra = {}) {
    std::vector<N> children{
        std::move(position), columnInfo("2", "3"),
        node("ColumnHeader",
             {headerColumn("Prio", "50", "CENTER"), headerColumn("Task", "235", "LEFT"),
              headerColumn("Time", "45", "RIGHT")}),
        node("ToDoContent", {row({"1", "first", "9:00"}), row({"", " ", "x"})})};
    for (N& e : extra) {
        children.push_back(std::move(e));
    }
    return node("ToDoList", std::move(children));
}

std::optional<StoredWindow> loadPosition(const QString& l, const QString& t, const QString& wd,
                                         const QString& h) {
    FakeWindow w;
    return loadToDoListDocument(documentOf(fullRoot(windowPosition(l, t, wd, h))), w).window;
}

}  // namespace

TEST(ToDoListLoader, zeroByteOrBlankFile_showsFourBoxesInOrder_andUsesDefaults) {
    const QByteArray contents[] = {QByteArray(), QByteArray("\xEF\xBB\xBF \r\n\t")};
    for (const QByteArray& content : contents) {
        FakeWindow w;
        w.tasks.setCaptionsBold(true);
        w.tasks.setDrawGridLines(false);
        w.skinName = "Before";
        const LoadReport report = loadToDoList(&content, w);

        EXPECT_EQ(w.boxes, QStringList({"Load WindowPosition", "Load ColumnInfo",
                                        "Load ColumnHeader", "Load ToDoContent"}));
        EXPECT_FALSE(report.window.has_value());  // the window takes its defaults
        EXPECT_EQ(w.tasks.rowCount(), 6);
        EXPECT_EQ(w.tasks.colCount(), 3);
        EXPECT_FALSE(w.tasks.captionsBold());
        EXPECT_TRUE(w.tasks.drawGridLines());
        EXPECT_EQ(w.skinName, "Before");  // no Skin element: no box, nothing changed
        EXPECT_TRUE(w.loadedSkins.isEmpty());
    }
}

TEST(ToDoListLoader, unreadableFile_showsOneBox_appliesNothing_andKeepsAnAlignmentPerColumn) {
    FakeWindow w;
    w.tasks.setColCount(5);
    const LoadReport report = loadToDoList(nullptr, w);
    EXPECT_EQ(w.boxes, QStringList({"XMLloadToDoList"}));
    EXPECT_TRUE(report.nothingApplied);
    EXPECT_FALSE(report.window.has_value());
    EXPECT_EQ(w.tasks.colCount(), 5);
    EXPECT_EQ(w.tasks.columnAlignments().size(), 5u);
}

TEST(ToDoListLoader, completeDocument_restoresEverySection_withoutBoxes) {
    FakeWindow w;
    w.skinPath = "/old/";
    const LoadReport report = loadToDoListDocument(
        documentOf(
            fullRoot(windowPosition("1510", "434", "400", "300"),
                     {node("Skin", {leaf("SkinName", "Blue"), leaf("SkinPath", "/skins/")})})),
        w);
    EXPECT_TRUE(w.boxes.isEmpty()) << w.boxes.join(", ").toStdString();
    EXPECT_TRUE(report.window == (StoredWindow{1510, 434, 400, 300}));
    EXPECT_FALSE(report.droppedContent);
    EXPECT_EQ(w.tasks.rowCount(), 3);
    EXPECT_EQ(w.tasks.colCount(), 3);
    EXPECT_TRUE(w.tasks.captionsBold());
    EXPECT_FALSE(w.tasks.drawGridLines());
    EXPECT_EQ(w.skinName, "Blue");
    EXPECT_EQ(w.skinPath, "/skins/");
    EXPECT_EQ(w.loadedSkins, QStringList({"/skins/Blue"}));
    EXPECT_EQ(w.tasks.cell(0, 0), "Prio");
    EXPECT_EQ(w.tasks.cell(2, 0), "Time");
    EXPECT_EQ(w.tasks.columnWidth(1), 235);
    EXPECT_EQ(w.tasks.columnAlignment(0), Alignment::Center);
    EXPECT_EQ(w.tasks.columnAlignment(1), Alignment::Left);
    EXPECT_EQ(w.tasks.columnAlignment(2), Alignment::Right);
    EXPECT_EQ(w.tasks.cell(1, 1), "first");
    // Empty values come back as a single space, so the next text lands in the next cell.
    EXPECT_EQ(w.tasks.cell(0, 2), " ");
    EXPECT_EQ(w.tasks.cell(1, 2), " ");
    EXPECT_EQ(w.tasks.cell(2, 2), "x");
}

TEST(ToDoListLoader, windowPosition_isReportedAsStored_andAMissingLeafReportsNone) {
    // Unparsable numbers read as -1; the window decides what to make of them.
    EXPECT_TRUE(loadPosition("5000", "-300", "20", "49") == (StoredWindow{5000, -300, 20, 49}));
    EXPECT_TRUE(loadPosition("abc", "x", "", "-5") == (StoredWindow{-1, -1, -1, -5}));

    FakeWindow w;
    N position = node("WindowPosition",
                      {leaf("Left", "10"), leaf("Top", "10"), leaf("Width", "500")});  // no Height
    EXPECT_FALSE(loadToDoListDocument(documentOf(fullRoot(position)), w).window.has_value());
    EXPECT_EQ(w.boxes, QStringList{"Load WindowPosition"});
}

TEST(ToDoListLoader, columnInfo_appliesCountsAndFlags_andKeepsAbsentFlags) {
    FakeWindow w;
    w.tasks.setCaptionsBold(true);
    w.tasks.setDrawGridLines(true);
    loadToDoListDocument(
        documentOf(
            node("ToDoList", {node("ColumnInfo", {leaf("rowcount", "4"), leaf("COLUMNCOUNT", "5"),
                                                  leaf("DrawGridLines", "true")})})),
        w);
    EXPECT_EQ(w.tasks.rowCount(), 5);
    EXPECT_EQ(w.tasks.colCount(), 5);
    EXPECT_EQ(w.tasks.columnAlignments().size(), 5u);
    EXPECT_TRUE(w.tasks.captionsBold());    // absent: kept
    EXPECT_FALSE(w.tasks.drawGridLines());  // "true" is not "TRUE"
    EXPECT_FALSE(w.boxes.contains("Load ColumnInfo"));

    // Unparsable counts are -1, which the table raises to one.
    FakeWindow bad;
    loadToDoListDocument(documentOf(node("ToDoList", {columnInfo("many", "-7")})), bad);
    EXPECT_EQ(bad.tasks.rowCount(), 1);
    EXPECT_EQ(bad.tasks.colCount(), 1);
    EXPECT_FALSE(bad.boxes.contains("Load ColumnInfo"));
    // A row count at the top of the integer range neither overflows nor asks for gigabytes.
    // A row count at the top of the integer range must not overflow into a negative count.
    FakeWindow huge;
    loadToDoListDocument(documentOf(node("ToDoList", {columnInfo("2147483647", "2")})), huge);
    EXPECT_EQ(huge.tasks.rowCount(), TaskTable::MaxRowCount);
}

TEST(ToDoListLoader, missingColumnCount_showsBoxFirst_thenKeepsTheStoredRowCount) {
    FakeWindow w;
    w.tasks.setCaptionsBold(true);
    w.tasks.setDrawGridLines(false);
    loadToDoListDocument(
        documentOf(node("ToDoList", {node("ColumnInfo", {leaf("RowCount", "7"),
                                                         leaf("HeaderTextBold", "TRUE")})})),
        w);
    const qsizetype at = w.boxes.indexOf("Load ColumnInfo");
    ASSERT_GE(at, 0);
    // The box comes before the fallback shape: the row count read (8) is already set.
    EXPECT_EQ(w.rowsAtBox[static_cast<size_t>(at)], 8);
    EXPECT_EQ(w.tasks.rowCount(), 8);
    EXPECT_EQ(w.tasks.colCount(), 3);
    EXPECT_FALSE(w.tasks.captionsBold());
    EXPECT_TRUE(w.tasks.drawGridLines());

    // Missing RowCount: R is still 0, so 5 task rows; the stored ColumnCount is not read.
    FakeWindow noRows;
    noRows.tasks.setColCount(7);
    loadToDoListDocument(
        documentOf(node("ToDoList", {node("ColumnInfo", {leaf("ColumnCount", "4")})})), noRows);
    EXPECT_EQ(noRows.tasks.rowCount(), 6);
    EXPECT_EQ(noRows.tasks.colCount(), 3);
    EXPECT_EQ(noRows.tasks.columnAlignments().size(), 3u);
}

TEST(ToDoListLoader, skin_aNamedSkinIsAlwaysAskedFor_noSkinClearsThePath_missingPathKeepsIt) {
    {
        // Wherever its folder is now, the skin keeps its name and stored folder: the target
        // looks for it by its name, and keeps both when it finds it nowhere.
        FakeWindow w;
        w.skinPath = "/old/";
        loadToDoListDocument(
            documentOf(node("ToDoList", {node("Skin", {leaf("SkinName", "Blue"),
                                                       leaf("SkinPath", "/moved/skins/")})})),
            w);
        EXPECT_EQ(w.skinName, "Blue");
        EXPECT_EQ(w.skinPath, "/moved/skins/");
        EXPECT_EQ(w.loadedSkins, QStringList({"/moved/skins/Blue"}));
        EXPECT_FALSE(w.boxes.contains("Load Skin"));
    }
    {
        FakeWindow w;  // no SkinPath: name taken, path kept, nothing loaded
        w.skinPath = "/old/";
        loadToDoListDocument(
            documentOf(node("ToDoList", {node("Skin", {leaf("SkinName", "Green")})})), w);
        EXPECT_EQ(w.skinName, "Green");
        EXPECT_EQ(w.skinPath, "/old/");
        EXPECT_TRUE(w.loadedSkins.isEmpty());
    }
    {
        FakeWindow w;  // no SkinName: the name from before the load is asked for
        w.skinName = "Red";
        loadToDoListDocument(
            documentOf(node("ToDoList", {node("Skin", {leaf("SkinPath", "/skins/")})})), w);
        EXPECT_EQ(w.skinPath, "/skins/");
        EXPECT_EQ(w.loadedSkins, QStringList({"/skins/Red"}));
    }
    for (const bool withPath : {false, true}) {
        FakeWindow w;  // "No Skin" clears the path, with or without SkinPath
        w.skinName = "Red";
        w.skinPath = "/skins/";
        std::vector<N> skin{leaf("SkinName", "No Skin")};
        if (withPath) {
            skin.push_back(leaf("SkinPath", " "));
        }
        loadToDoListDocument(documentOf(node("ToDoList", {node("Skin", skin)})), w);
        EXPECT_EQ(w.skinName, "No Skin");
        EXPECT_EQ(w.skinPath, "");
        EXPECT_TRUE(w.loadedSkins.isEmpty());
    }
    {
        FakeWindow w;  // an error while loading the pictures: its box, values as far as set
        w.skinThrows = true;
        loadToDoListDocument(
            documentOf(node("ToDoList", {node("Skin", {leaf("SkinName", "Blue"),
                                                       leaf("SkinPath", "/skins/")})})),
            w);
        EXPECT_TRUE(w.boxes.contains("Load Skin"));
        EXPECT_EQ(w.skinName, "Blue");
        EXPECT_EQ(w.skinPath, "/skins/");
        // The later sections still ran.
        EXPECT_TRUE(w.boxes.contains("Load ToDoContent"));
    }
}

TEST(ToDoListLoader, columnHeader_moreColumnElementsThanColumns_appliesTheFirstThenFails) {
    FakeWindow w;
    loadToDoListDocument(
        documentOf(node("ToDoList", {columnInfo("1", "2"),
                                     node("ColumnHeader", {headerColumn("A", "80", "RIGHT"),
                                                           headerColumn("B", "1", "CENTER"),
                                                           headerColumn("C", "90", "RIGHT")})})),
        w);
    EXPECT_TRUE(w.boxes.contains("Load ColumnHeader"));
    EXPECT_EQ(w.tasks.colCount(), 2);
    EXPECT_EQ(w.tasks.cell(0, 0), "A");
    EXPECT_EQ(w.tasks.cell(1, 0), "B");
    EXPECT_EQ(w.tasks.cell(2, 0), "");  // the third caption went nowhere
    EXPECT_EQ(w.tasks.columnWidth(0), 80);
    EXPECT_EQ(w.tasks.columnWidth(1), 2);  // below the smallest width
    EXPECT_EQ(w.tasks.columnAlignment(0), Alignment::Right);
    EXPECT_EQ(w.tasks.columnAlignment(1), Alignment::Center);
}

TEST(ToDoListLoader, columnHeader_missingLeaf_keepsWhatWasSet_andEmptyCaptionIsABlank) {
    FakeWindow w;
    N header = node("ColumnHeader",
                    {headerColumn("", "x", "center"),
                     node("Column", {leaf("ColumnWidth", "77"), leaf("ColumnAlignment", "RIGHT")}),
                     headerColumn("never", "99", "RIGHT")});
    loadToDoListDocument(documentOf(node("ToDoList", {columnInfo("1", "3"), header})), w);
    EXPECT_EQ(w.boxes.count("Load ColumnHeader"), 1);
    EXPECT_EQ(w.tasks.cell(0, 0), " ");
    EXPECT_EQ(w.tasks.columnWidth(0), 2);                    // unparsable: -1, raised to 2
    EXPECT_EQ(w.tasks.columnAlignment(0), Alignment::Left);  // "center" is not "CENTER"
    EXPECT_EQ(w.tasks.columnWidth(1), 77);                   // set before the caption failed
    EXPECT_EQ(w.tasks.columnAlignment(1), Alignment::Left);
    EXPECT_EQ(w.tasks.cell(1, 0), "");
    EXPECT_EQ(w.tasks.columnWidth(2), 45);  // no element reached: the width it had
}

TEST(ToDoListLoader, content_dropsExtraTexts_keepsRowsPastTheCount_andIgnoresNames) {
    FakeWindow w;
    N content = node("ToDoContent", {row({"a", "b", "c", "dropped", "too"}),
                                     node("Anything", {leaf("Whatever", "x"), leaf("Text", "")}),
                                     row({"hidden"})});
    loadToDoListDocument(documentOf(node("ToDoList", {columnInfo("2", "3"), content})), w);
    EXPECT_FALSE(w.boxes.contains("Load ToDoContent"));
    EXPECT_EQ(w.tasks.cell(0, 1), "a");
    EXPECT_EQ(w.tasks.cell(2, 1), "c");
    EXPECT_EQ(w.tasks.cell(3, 1), "");  // no fourth column: dropped
    EXPECT_EQ(w.tasks.cell(0, 2), "x");
    EXPECT_EQ(w.tasks.cell(1, 2), " ");
    EXPECT_EQ(w.tasks.rowCount(), 3);
    EXPECT_EQ(w.tasks.cell(0, 3), "hidden");  // past the row count, kept for a later row
    w.tasks.setRowCount(4);
    EXPECT_EQ(w.tasks.cell(0, 3), "hidden");
}

TEST(ToDoListLoader, content_missing_showsItsBox_andFillsNothing) {
    FakeWindow w;
    loadToDoListDocument(documentOf(node("ToDoList", {columnInfo("2", "3")})), w);
    EXPECT_TRUE(w.boxes.contains("Load ToDoContent"));
    for (int r = 1; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_TRUE(w.tasks.cell(c, r).isEmpty());
        }
    }
}

// From here on the whole way through the real writer, file and reader.

TEST(ToDoListLoader, savedFile_loadsBackToTheSameState_withEmptyAndBlankCellsAsOneSpace) {
    TaskTable source;
    source.setColCount(3);
    source.setRowCount(4);
    const QString mixed = QString::fromUtf8("Gr\u00FC\u00DFe & <7> \u20AC \U0001F600");
    source.setCell(0, 0, "Prio");
    source.setCell(2, 0, "Time");  // column 1 has no caption
    source.setCell(0, 1, " a ");
    source.setCell(1, 1, mixed);
    source.setCell(2, 1, "line\r\nbreak");
    source.setCell(0, 2, "   ");  // blanks only
    source.setCell(2, 3, "&amp;");
    source.setColumnWidth(0, 50);
    source.setColumnWidth(1, 1);
    source.setColumnWidth(2, 45);
    source.setColumnAlignment(0, Alignment::Center);
    source.setColumnAlignment(1, Alignment::Right);
    source.setCaptionsBold(true);
    source.setDrawGridLines(false);
    SaveSource window{1510, 434, 400, 300, true, 400, "Blue", "/skins/"};

    QTemporaryDir dir;
    const QString app = dir.path() + "/";
    PosixFileOps ops;
    ASSERT_TRUE(saveToDoList(ops, app, window, source).ok());

    FakeWindow w;
    const LoadReport report = loadFile(app + "ToDoList.xml", w);
    EXPECT_TRUE(w.boxes.isEmpty()) << w.boxes.join(", ").toStdString();
    EXPECT_TRUE(report.window == (StoredWindow{1510, 434, 400, 300}));
    EXPECT_EQ(w.skinName, "Blue");
    EXPECT_EQ(w.skinPath, "/skins/");
    EXPECT_EQ(w.loadedSkins.size(), 1);
    const TaskTable& t = w.tasks;
    EXPECT_EQ(t.rowCount(), 4);
    EXPECT_EQ(t.colCount(), 3);
    EXPECT_TRUE(t.captionsBold());
    EXPECT_FALSE(t.drawGridLines());
    EXPECT_EQ(t.columnWidth(0), 50);
    EXPECT_EQ(t.columnWidth(1), 2);  // below the smallest width
    EXPECT_EQ(t.columnWidth(2), 45);
    EXPECT_EQ(t.columnAlignments(), source.columnAlignments());
    EXPECT_EQ(t.cell(0, 0), "Prio");
    EXPECT_EQ(t.cell(1, 0), " ");
    EXPECT_EQ(t.cell(2, 0), "Time");
    EXPECT_EQ(t.cell(0, 1), " a ");
    EXPECT_EQ(t.cell(1, 1), mixed);
    EXPECT_EQ(t.cell(2, 1), "line\r\nbreak");
    EXPECT_EQ(t.cell(0, 2), " ");
    EXPECT_EQ(t.cell(1, 2), " ");
    EXPECT_EQ(t.cell(2, 3), "&amp;");
    EXPECT_EQ(t.cell(0, 3), " ");

    // Once loaded, a table saves and loads back to itself: nothing drifts further.
    FakeWindow again;
    SaveSource window2 = window;
    ASSERT_TRUE(saveToDoList(ops, app, window2, w.tasks).ok());
    loadFile(app + "ToDoList.xml", again);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(again.tasks.cell(c, r), t.cell(c, r)) << c << "," << r;
        }
    }
}

TEST(ToDoListLoader, realFiles_brokenOrMissing_showOnlyTheDocumentBox_andTooManyColumnsFail) {
    QTemporaryDir dir;
    const auto write = [&dir](const QByteArray& bytes) {
        QFile f(dir.path() + "/ToDoList.xml");
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return f.fileName();
    };

    FakeWindow missing;
    loadFile(dir.path() + "/none.xml", missing);
    EXPECT_EQ(missing.boxes, QStringList({"XMLloadToDoList"}));

    FakeWindow broken;
    const LoadReport nothing =
        loadFile(write("<ToDoList><ColumnInfo><RowCount>3</Rowcount></ColumnInfo>"), broken);
    EXPECT_EQ(broken.boxes, QStringList({"XMLloadToDoList"}));
    EXPECT_EQ(broken.tasks.rowCount(), TaskTable::DefaultRowCount);
    EXPECT_TRUE(nothing.nothingApplied);
    EXPECT_FALSE(nothing.window.has_value());

    FakeWindow zero;
    loadFile(write(""), zero);
    EXPECT_EQ(zero.boxes.size(), 4);

    FakeWindow extra;
    loadFile(write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                   "<Anything><columninfo><RowCount>1</RowCount>"
                   "<ColumnCount>2</ColumnCount></columninfo><ColumnHeader>"
                   "<Column><ColumnCaption>A</ColumnCaption><ColumnWidth>$1F</ColumnWidth>"
                   "<ColumnAlignment>RIGHT</ColumnAlignment></Column>"
                   "<Column><ColumnCaption>B</ColumnCaption>"
                   "<ColumnWidth>2147483647</ColumnWidth>"
                   "<ColumnAlignment>CENTER</ColumnAlignment></Column>"
                   "<Column><ColumnCaption>C</ColumnCaption><ColumnWidth>40</ColumnWidth>"
                   "<ColumnAlignment>CENTER</ColumnAlignment></Column>"
                   "</ColumnHeader><ToDoContent><Column><Text>x</Text><Text>y</Text>"
                   "<Text>z</Text></Column></ToDoContent></Anything>"),
             extra);
    EXPECT_EQ(extra.boxes, QStringList({"Load WindowPosition", "Load ColumnHeader"}));
    EXPECT_EQ(extra.tasks.colCount(), 2);
    EXPECT_EQ(extra.tasks.columnWidth(0), 31);
    // Held so that the widths of every column still add up inside an int.
    EXPECT_EQ(extra.tasks.columnWidth(1), TaskTable::MaxColumnWidth);
    EXPECT_EQ(extra.tasks.cell(1, 0), "B");
    EXPECT_EQ(extra.tasks.columnAlignment(1), Alignment::Center);
    EXPECT_EQ(extra.tasks.cell(1, 1), "y");
    EXPECT_EQ(extra.tasks.cell(2, 1), "");
}
