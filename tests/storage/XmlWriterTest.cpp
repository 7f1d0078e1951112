#include "storage/XmlWriter.h"

#include <gtest/gtest.h>

#include <QString>

namespace taskwick {
namespace {

ToDoListData workedExample() {
    ToDoListData data;
    data.left = 1510;
    data.top = 434;
    data.width = 370;
    data.height = 211;
    data.rowCount = 2;
    data.columnCount = 3;
    data.captionsBold = false;
    data.drawGridLines = true;
    data.skinName = QStringLiteral("No Skin");
    data.skinPath = QString();
    data.columns = {{QStringLiteral("Prio"), 50, 1},
                    {QStringLiteral("Task"), 235, 0},
                    {QStringLiteral("Time"), 45, 1}};
    data.rows = {{QStringLiteral("High"), QStringLiteral("Buy Br\u00F6tchen & coffee"),
                  QStringLiteral("10min")},
                 {QString(), QStringLiteral("Pay \u20AC5 <today>"), QString()}};
    return data;
}

// The lines of the expected file joined with CR LF, the last one included.
QByteArray crlfLines(std::initializer_list<const char*> lines) {
    QByteArray out("\xEF\xBB\xBF");
    for (const char* line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

// The one line a single-cell table writes for its cell, without indentation and CR LF.
QByteArray cellLine(const QString& cell) {
    ToDoListData data;
    data.rowCount = 1;
    data.columnCount = 1;
    data.columns = {{QStringLiteral("C"), 10, 0}};
    data.rows = {{cell}};
    const QByteArray file = writeToDoList(data);
    const qsizetype start = file.indexOf("      <Text");
    const qsizetype end = file.indexOf("\r\n    </Column>", start);
    if (start < 0 || end < 0) {
        return "<no cell line>";
    }
    return file.mid(start + 6, end - start - 6);
}

TEST(XmlWriter, workedExample_producesTheExactBytes) {
    const QByteArray expected = crlfLines({
        R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)",
        "<ToDoList>",
        "  <WindowPosition>",
        "    <Left>1510</Left>",
        "    <Top>434</Top>",
        "    <Width>370</Width>",
        "    <Height>211</Height>",
        "  </WindowPosition>",
        "  <ColumnInfo>",
        "    <RowCount>2</RowCount>",
        "    <ColumnCount>3</ColumnCount>",
        "    <HeaderTextBold>FALSE</HeaderTextBold>",
        "    <DrawGridLines>TRUE</DrawGridLines>",
        "  </ColumnInfo>",
        "  <Skin>",
        "    <SkinName>No Skin</SkinName>",
        "    <SkinPath/>",
        "  </Skin>",
        "  <ColumnHeader>",
        "    <Column>",
        "      <ColumnCaption>Prio</ColumnCaption>",
        "      <ColumnWidth>50</ColumnWidth>",
        "      <ColumnAlignment>CENTER</ColumnAlignment>",
        "    </Column>",
        "    <Column>",
        "      <ColumnCaption>Task</ColumnCaption>",
        "      <ColumnWidth>235</ColumnWidth>",
        "      <ColumnAlignment>LEFT</ColumnAlignment>",
        "    </Column>",
        "    <Column>",
        "      <ColumnCaption>Time</ColumnCaption>",
        "      <ColumnWidth>45</ColumnWidth>",
        "      <ColumnAlignment>CENTER</ColumnAlignment>",
        "    </Column>",
        "  </ColumnHeader>",
        "  <ToDoContent>",
        "    <Column>",
        "      <Text>High</Text>",
        "      <Text>Buy Br&#xF6;tchen &amp; coffee</Text>",
        "      <Text>10min</Text>",
        "    </Column>",
        "    <Column>",
        "      <Text/>",
        "      <Text>Pay &#x20AC;5 &lt;today&gt;</Text>",
        "      <Text/>",
        "    </Column>",
        "  </ToDoContent>",
        "</ToDoList>",
    });
    EXPECT_EQ(writeToDoList(workedExample()), expected);
}

TEST(XmlWriter, emptyAndBlankValues_emptyElementOnlyForTheEmptyString) {
    EXPECT_EQ(cellLine(QString()), "<Text/>");
    EXPECT_EQ(cellLine(QStringLiteral(" ")), "<Text> </Text>");
    EXPECT_EQ(cellLine(QStringLiteral("  a  ")), "<Text>  a  </Text>");
    EXPECT_EQ(cellLine(QStringLiteral("a\r\nb\tc\nd")), "<Text>a\r\nb\tc\nd</Text>");
}

TEST(XmlWriter, markupCharacters_writtenAsNamedReferences) {
    EXPECT_EQ(cellLine(QStringLiteral("Tom & Jerry <3>")),
              "<Text>Tom &amp; Jerry &lt;3&gt;</Text>");
    EXPECT_EQ(cellLine(QStringLiteral("&amp;")), "<Text>&amp;amp;</Text>");
    EXPECT_EQ(cellLine(QStringLiteral("\"it's\"")), "<Text>&quot;it&apos;s&quot;</Text>");
}

TEST(XmlWriter, nonAsciiAndControlUnits_writtenAsUpperCaseHexReferences) {
    EXPECT_EQ(cellLine(QStringLiteral("Gr\u00FC\u00DFe")), "<Text>Gr&#xFC;&#xDF;e</Text>");
    EXPECT_EQ(cellLine(QString::fromUcs4(U"\U0001F600")), "<Text>&#xD83D;&#xDE00;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(1))), "<Text>&#x01;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(0))), "<Text>&#x00;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(11))), "<Text>&#x0B;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(31))), "<Text>&#x1F;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(127))), "<Text>\x7F</Text>");
    EXPECT_EQ(cellLine(QString(QChar(128))), "<Text>&#x80;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(255))), "<Text>&#xFF;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(256))), "<Text>&#x0100;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(0xABCD))), "<Text>&#xABCD;</Text>");
    EXPECT_EQ(cellLine(QString(QChar(0xFFFF))), "<Text>&#xFFFF;</Text>");
    // A lone surrogate is a code unit like any other.
    EXPECT_EQ(cellLine(QString(QChar(0xDC00))), "<Text>&#xDC00;</Text>");
}

TEST(XmlWriter, everyCodeUnit_leavesPlainAsciiAfterTheMark) {
    QString all;
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        all.append(QChar(static_cast<char16_t>(unit)));
    }
    ToDoListData data = workedExample();
    data.rows[0][1] = all;
    data.skinName = all;
    const QByteArray file = writeToDoList(data);
    ASSERT_TRUE(file.startsWith("\xEF\xBB\xBF"));
    for (qsizetype i = 3; i < file.size(); ++i) {
        const auto byte = static_cast<unsigned char>(file[i]);
        ASSERT_LT(byte, 128) << "at byte " << i;
        ASSERT_TRUE(byte >= 32 || byte == '\t' || byte == '\n' || byte == '\r') << "at byte " << i;
    }
}

TEST(XmlWriter, numbersFlagsAndAlignments_writtenInTheirTextForms) {
    ToDoListData data = workedExample();
    data.left = -1200;
    data.top = 0;
    data.width = 2147483647;
    data.height = -2147483647 - 1;
    data.captionsBold = true;
    data.drawGridLines = false;
    data.columns[0].alignment = 2;
    data.columns[1].alignment = 3;
    data.columns[2].alignment = 255;
    const QByteArray file = writeToDoList(data);
    EXPECT_TRUE(file.contains("\r\n    <Left>-1200</Left>\r\n"));
    EXPECT_TRUE(file.contains("\r\n    <Top>0</Top>\r\n"));
    EXPECT_TRUE(file.contains("\r\n    <Width>2147483647</Width>\r\n"));
    EXPECT_TRUE(file.contains("\r\n    <Height>-2147483648</Height>\r\n"));
    EXPECT_TRUE(file.contains("<HeaderTextBold>TRUE</HeaderTextBold>"));
    EXPECT_TRUE(file.contains("<DrawGridLines>FALSE</DrawGridLines>"));
    EXPECT_TRUE(file.contains("<ColumnAlignment>RIGHT</ColumnAlignment>"));
    EXPECT_EQ(file.count("<ColumnAlignment>LEFT</ColumnAlignment>"), 2);
}

TEST(XmlWriter, tableWithoutTaskRowsOrColumns_writesEmptyElementTags) {
    ToDoListData data = workedExample();
    data.rowCount = 0;
    data.rows.clear();
    QByteArray file = writeToDoList(data);
    EXPECT_TRUE(file.contains("\r\n  </ColumnHeader>\r\n  <ToDoContent/>\r\n</ToDoList>\r\n"));
    EXPECT_TRUE(file.endsWith("</ToDoList>\r\n"));

    data.columnCount = 0;
    data.columns.clear();
    file = writeToDoList(data);
    EXPECT_TRUE(file.contains("\r\n  <ColumnHeader/>\r\n  <ToDoContent/>\r\n"));
}

TEST(XmlWriter, largeTable_writtenInOnePieceWithEveryCell) {
    ToDoListData data = workedExample();
    data.rowCount = 100;
    data.columnCount = 100;
    data.columns.assign(100, {QStringLiteral("Caption"), 40, 0});
    const QString cell = QStringLiteral("x\u00E4&").repeated(333) + QStringLiteral("!");
    ASSERT_EQ(cell.size(), 1000);
    data.rows.assign(100, std::vector<QString>(100, cell));
    const QByteArray file = writeToDoList(data);
    // "x" 1 + "&#xE4;" 6 + "&amp;" 5 bytes per three units, plus "!".
    const QByteArray escapedCell = QByteArray("x&#xE4;&amp;").repeated(333) + "!";
    EXPECT_EQ(file.count("      <Text>" + escapedCell + "</Text>\r\n"), 10000);
    EXPECT_TRUE(file.endsWith("    </Column>\r\n  </ToDoContent>\r\n</ToDoList>\r\n"));
}

}  // namespace
}  // namespace taskwick
