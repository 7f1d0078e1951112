#include "storage/XmlReader.h"
#include "storage/XmlWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace taskwick {
namespace {

// Reads a written file back into values the way the loader walks it: by name for the
// fixed elements, by position for columns, rows and cells.
std::optional<ToDoListData> readBack(const QByteArray& file) {
    QString error;
    const auto doc = readXmlDocument(file, &error);
    if (!doc) {
        ADD_FAILURE() << "read failed: " << error.toStdString();
        return std::nullopt;
    }
    const auto root = doc->root();
    const auto text = [&](std::initializer_list<const char16_t*> path) {
        std::optional<XmlDocument::Element> element = root;
        for (const char16_t* name : path) {
            element = element ? element->child(name) : std::nullopt;
        }
        return element ? element->value() : QStringLiteral("<missing>");
    };
    ToDoListData data;
    data.left = readXmlInteger(text({u"WindowPosition", u"Left"}));
    data.top = readXmlInteger(text({u"WindowPosition", u"Top"}));
    data.width = readXmlInteger(text({u"WindowPosition", u"Width"}));
    data.height = readXmlInteger(text({u"WindowPosition", u"Height"}));
    data.rowCount = readXmlInteger(text({u"ColumnInfo", u"RowCount"}));
    data.columnCount = readXmlInteger(text({u"ColumnInfo", u"ColumnCount"}));
    data.captionsBold = readXmlBoolean(text({u"ColumnInfo", u"HeaderTextBold"}));
    data.drawGridLines = readXmlBoolean(text({u"ColumnInfo", u"DrawGridLines"}));
    data.skinName = text({u"Skin", u"SkinName"});
    data.skinPath = text({u"Skin", u"SkinPath"});
    const auto header = root.child(u"ColumnHeader");
    for (int i = 0; header && i < header->childCount(); ++i) {
        const auto column = header->childAt(i);
        data.columns.push_back({column.child(u"ColumnCaption")->value(),
                                readXmlInteger(column.child(u"ColumnWidth")->value()),
                                readXmlAlignment(column.child(u"ColumnAlignment")->value())});
    }
    const auto content = root.child(u"ToDoContent");
    for (int r = 0; content && r < content->childCount(); ++r) {
        const auto row = content->childAt(r);
        data.rows.emplace_back();
        for (int c = 0; c < row.childCount(); ++c) {
            data.rows.back().push_back(row.childAt(c).value());
        }
    }
    return data;
}

void expectSameValues(const ToDoListData& a, const ToDoListData& b) {
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.rowCount, b.rowCount);
    EXPECT_EQ(a.columnCount, b.columnCount);
    EXPECT_EQ(a.captionsBold, b.captionsBold);
    EXPECT_EQ(a.drawGridLines, b.drawGridLines);
    EXPECT_EQ(a.skinName, b.skinName);
    EXPECT_EQ(a.skinPath, b.skinPath);
    ASSERT_EQ(a.columns.size(), b.columns.size());
    for (size_t i = 0; i < a.columns.size(); ++i) {
        EXPECT_EQ(a.columns[i].caption, b.columns[i].caption) << "column " << i;
        EXPECT_EQ(a.columns[i].width, b.columns[i].width) << "column " << i;
        EXPECT_EQ(a.columns[i].alignment, b.columns[i].alignment) << "column " << i;
    }
    ASSERT_EQ(a.rows.size(), b.rows.size());
    for (size_t r = 0; r < a.rows.size(); ++r) {
        ASSERT_EQ(a.rows[r].size(), b.rows[r].size()) << "row " << r;
        for (size_t c = 0; c < a.rows[r].size(); ++c) {
            EXPECT_EQ(a.rows[r][c], b.rows[r][c]) << "row " << r << " column " << c;
        }
    }
}

ToDoListData trickyTable() {
    ToDoListData data;
    data.left = -1910;
    data.top = 2147483647;
    data.width = 370;
    data.height = -2147483647 - 1;
    data.rowCount = 3;
    data.columnCount = 3;
    data.captionsBold = true;
    data.drawGridLines = false;
    data.skinName = QStringLiteral("Blue & \"Gold\"");
    data.skinPath = QStringLiteral("/home/j\u00FCrgen/skins/");
    data.columns = {{QStringLiteral("Prio"), 50, 1},
                    {QStringLiteral("<Task>"), 235, 2},
                    {QStringLiteral("Zeit \u23F0"), 2, 0}};
    data.rows = {
        {QStringLiteral("&amp;"), QStringLiteral("Tom & Jerry <3>"), QStringLiteral("  padded  ")},
        {QStringLiteral("Gr\u00FC\u00DFe"), QString::fromUcs4(U"\U0001F600 and \U0001F680"),
         QStringLiteral("line1\r\nline2\rline3\nline4\t")},
        {QString(QChar(1)) + QChar(0) + QChar(0x1F) + QChar(0x7F) + QChar(0xFFFE),
         QStringLiteral("&#x41; stays"), QString()},
    };
    return data;
}

TEST(XmlRoundTrip, trickyValues_readBackUnchanged) {
    const ToDoListData data = trickyTable();
    const auto back = readBack(writeToDoList(data));
    ASSERT_TRUE(back);
    expectSameValues(data, *back);
}

TEST(XmlRoundTrip, blankOnlyCell_readsBackEmpty) {
    ToDoListData data = trickyTable();
    data.rows[0][0] = QStringLiteral(" ");
    data.rows[0][1] = QStringLiteral("\t\r\n");
    const auto back = readBack(writeToDoList(data));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rows[0][0], QString());
    EXPECT_EQ(back->rows[0][1], QString());
}

TEST(XmlRoundTrip, everyCodeUnit_survivesIncludingLoneSurrogates) {
    QString all;
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        all.append(QChar(static_cast<char16_t>(unit)));
    }
    ToDoListData data = trickyTable();
    data.rows[2][2] = all;
    const auto back = readBack(writeToDoList(data));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->rows[2][2] == all);
}

TEST(XmlRoundTrip, largeTableThroughAFile_readsBackEveryCell) {
    ToDoListData data = trickyTable();
    data.rowCount = 100;
    data.columnCount = 100;
    data.columns.assign(100, {QStringLiteral("C"), 64, 1});
    data.rows.clear();
    for (int r = 0; r < 100; ++r) {
        data.rows.emplace_back();
        for (int c = 0; c < 100; ++c) {
            data.rows.back().push_back(
                (QString::number(r * 100 + c) + QStringLiteral(" \u00E4 &<> \U0001F600 "))
                    .repeated(50)
                    .left(1000));
        }
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = QDir(dir.path()).filePath(QStringLiteral("ToDoList.xml"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray bytes = writeToDoList(data);
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto back = readBack(file.readAll());
    ASSERT_TRUE(back);
    expectSameValues(data, *back);
}

}  // namespace
}  // namespace taskwick
