#include "table/commands/TableCommands.h"

#include "table/model/ColumnFitting.h"
#include "table/model/TaskTable.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <vector>

namespace taskwick {
namespace {

struct Question {
    QString text;
    QString title;
};

// Records every question and answers with a fixed reply; counts the fittings asked for.
class CommandsTest : public ::testing::Test {
protected:
    TableCommands commands(Language language = Language::English) {
        return TableCommands(
            table, current, language,
            [this](const QString& text, const QString& title) {
                questions.push_back({text, title});
                return answer;
            },
            [this] { ++fittings; });
    }

    void fillRow(int row, const QStringList& texts) {
        for (int col = 0; col < texts.size(); ++col) {
            table.setCell(col, row, texts[col]);
        }
    }

    TaskTable table;
    CurrentCell current{table};
    std::vector<Question> questions;
    bool answer = true;
    int fittings = 0;
};

TEST(ContentList, skipsBlankCellsAndTrimsOthers) {
    TaskTable table;
    table.setCell(0, 5, "  High\t");
    table.setCell(1, 5, " \t ");
    table.setCell(2, 5, "10min");
    EXPECT_EQ(rowContentList(table, 5), "High, 10min");

    table.setCell(2, 0, "Time");
    table.setCell(2, 2, QString());
    table.setCell(2, 3, " a b ");
    EXPECT_EQ(columnContentList(table, 2), "Time, a b, 10min");
}

TEST(ContentList, ignoresTextsOutsideTheTable) {
    TaskTable table;
    table.setCell(3, 1, "hidden column");
    table.setCell(0, 6, "hidden row");
    EXPECT_EQ(rowContentList(table, 1), "");
    EXPECT_EQ(columnContentList(table, 0), "");
}

TEST_F(CommandsTest, deleteRowWithContent_asksInEnglishAndDeletesOnYes) {
    table.setRowCount(2);
    fillRow(1, {"High", "", "10min"});
    EXPECT_TRUE(commands().deleteLastRow());

    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, "Do you really want to delete the row?\r\nContent: High, 10min");
    EXPECT_EQ(questions[0].title, "Attention");
    EXPECT_EQ(table.rowCount(), 1);
}

TEST_F(CommandsTest, deleteRowWithContent_asksInGerman) {
    fillRow(5, {"Hoch", " ", "10min"});
    commands(Language::German).deleteLastRow();

    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text,
              QString::fromUtf8("Möchten Sie die Zeile wirklich löschen?\r\nInhalt: Hoch, 10min"));
    EXPECT_EQ(questions[0].title, "Achtung");
}

TEST_F(CommandsTest, deleteRowAnsweredNo_keepsRowAndTexts) {
    fillRow(5, {"High", "", "10min"});
    answer = false;
    EXPECT_FALSE(commands().deleteLastRow());
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.cell(0, 5), "High");
    EXPECT_EQ(table.cell(2, 5), "10min");
}

TEST_F(CommandsTest, deleteBlankRow_deletesWithoutAsking) {
    fillRow(5, {" ", "", "\t"});
    EXPECT_TRUE(commands().deleteLastRow());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(table.rowCount(), 5);
}

TEST_F(CommandsTest, deleteRowWithoutQuestionBox_keepsContent) {
    fillRow(5, {"x"});
    TableCommands silent(table, current, Language::English, nullptr, nullptr);
    EXPECT_FALSE(silent.deleteLastRow());
    EXPECT_EQ(table.rowCount(), 6);
}

TEST_F(CommandsTest, addRowThenDelete_restoresTable) {
    fillRow(5, {"a", "b", "c"});
    auto cmd = commands();
    cmd.addRow();
    EXPECT_EQ(table.rowCount(), 7);
    EXPECT_EQ(rowContentList(table, 6), "");
    EXPECT_TRUE(cmd.deleteLastRow());
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(rowContentList(table, 5), "a, b, c");
    EXPECT_EQ(table.columnWidth(1), 235);
}

TEST_F(CommandsTest, addRowAfterDelete_yieldsEmptyRow) {
    fillRow(5, {"old", "texts"});
    auto cmd = commands();
    cmd.deleteLastRow();
    cmd.addRow();
    EXPECT_EQ(table.rowCount(), 6);
    EXPECT_EQ(table.cell(0, 5), "");
    EXPECT_EQ(table.cell(1, 5), "");
}

TEST_F(CommandsTest, deleteDownToHeader_unfixesHeaderThenActsOnCaptions) {
    fillRow(0, {"Prio", "Task", "Time"});
    fillRow(1, {"High"});
    auto cmd = commands();
    for (int i = 0; i < 5; ++i) {
        cmd.deleteLastRow();
    }
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_FALSE(table.captionsFixed());
    ASSERT_EQ(questions.size(), 1u);  // only the row holding "High"

    EXPECT_TRUE(cmd.deleteLastRow());
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text,
              "Do you really want to delete the row?\r\nContent: Prio, Task, Time");
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_EQ(rowContentList(table, 0), "");

    // Nothing left to lose: no further question, still one row.
    EXPECT_TRUE(cmd.deleteLastRow());
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(table.rowCount(), 1);
}

TEST_F(CommandsTest, deleteRowHoldingCurrentCell_leavesNoCurrentCell) {
    current.set({1, 5});
    commands().deleteLastRow();
    EXPECT_FALSE(current.cell().has_value());
}

TEST_F(CommandsTest, addColumnAtWidth45_halvesIntoTwoColumnsOf21ThenFits) {
    table.setColumnAlignment(2, Alignment::Center);
    std::vector<int> widthsWhenFitting;
    TableCommands cmd(table, current, Language::English, nullptr, [&] {
        for (int col = 0; col < table.colCount(); ++col) {
            widthsWhenFitting.push_back(table.columnWidth(col));
        }
        fitTableColumns(table, 310);
    });
    cmd.addColumn();

    EXPECT_EQ(widthsWhenFitting, (std::vector<int>{50, 235, 21, 21}));
    EXPECT_EQ(table.colCount(), 4);
    EXPECT_EQ(table.columnAlignments(),
              (std::vector<Alignment>{Alignment::Left, Alignment::Left, Alignment::Center,
                                      Alignment::Left}));
    // 310 - 4 lines - 2 = 304 = 50 + 212 + 21 + 21
    EXPECT_EQ(table.columnWidth(1), 212);
    EXPECT_EQ(table.columnWidth(3), 21);
}

TEST_F(CommandsTest, addColumn_startsEmptyEvenWhereOldTextsWereStored) {
    table.setCell(3, 0, "stale caption");
    table.setCell(3, 2, "stale task");
    commands().addColumn();
    EXPECT_EQ(fittings, 1);
    EXPECT_EQ(columnContentList(table, 3), "");
}

TEST_F(CommandsTest, addColumnAfterNarrowLastColumn_neverStoresNegativeWidth) {
    table.setColumnWidth(2, 1);
    commands().addColumn();
    EXPECT_EQ(table.columnWidth(2), 0);
    EXPECT_EQ(table.columnWidth(3), 0);
}

TEST_F(CommandsTest, deleteColumn_listsCaptionFirstInBothLanguages) {
    fillRow(0, {"Prio", "Task", "Time"});
    table.setCell(2, 1, " 10min ");
    table.setCell(2, 4, "5h");
    auto english = commands();
    answer = false;
    EXPECT_FALSE(english.deleteLastColumn());
    EXPECT_EQ(table.colCount(), 3);
    EXPECT_EQ(fittings, 0);

    commands(Language::German).deleteLastColumn();
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text,
              "Do you really want to delete the column?\r\nContent: Time, 10min, 5h");
    EXPECT_EQ(questions[0].title, "Attention");
    EXPECT_EQ(
        questions[1].text,
        QString::fromUtf8("Möchten Sie die Spalte wirklich löschen?\r\nInhalt: Time, 10min, 5h"));
    EXPECT_EQ(questions[1].title, "Achtung");
}

TEST_F(CommandsTest, deleteColumnOnYes_emptiesItAndFits) {
    fillRow(0, {"Prio", "Task", "Time"});
    auto cmd = commands();
    EXPECT_TRUE(cmd.deleteLastColumn());
    EXPECT_EQ(table.colCount(), 2);
    EXPECT_EQ(table.columnAlignments().size(), 2u);
    EXPECT_EQ(fittings, 1);

    cmd.addColumn();
    EXPECT_EQ(table.cell(2, 0), "");
}

TEST_F(CommandsTest, deleteColumnAtOneColumn_emptiesItAndKeepsOne) {
    fillRow(0, {"Prio", "Task", "Time"});
    fillRow(3, {"a", "b", "c"});
    auto cmd = commands();
    cmd.deleteLastColumn();
    cmd.deleteLastColumn();
    EXPECT_EQ(table.colCount(), 1);
    EXPECT_EQ(questions.size(), 2u);

    EXPECT_TRUE(cmd.deleteLastColumn());
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(questions[2].text, "Do you really want to delete the column?\r\nContent: Prio, a");
    EXPECT_EQ(table.colCount(), 1);
    EXPECT_EQ(columnContentList(table, 0), "");
    EXPECT_EQ(table.columnAlignments().size(), 1u);
}

TEST_F(CommandsTest, alignment_needsCurrentCellAndSetsItsColumn) {
    auto cmd = commands();
    EXPECT_FALSE(cmd.alignCurrentColumn(Alignment::Right));
    EXPECT_EQ(table.columnAlignments(),
              (std::vector<Alignment>{Alignment::Left, Alignment::Left, Alignment::Left}));

    current.set({1, 3});
    EXPECT_TRUE(cmd.alignCurrentColumn(Alignment::Right));
    EXPECT_EQ(table.columnAlignment(1), Alignment::Right);
    EXPECT_TRUE(cmd.alignCurrentColumn(Alignment::Center));
    EXPECT_EQ(table.columnAlignment(1), Alignment::Center);
    EXPECT_EQ(table.columnAlignment(0), Alignment::Left);
}

TEST_F(CommandsTest, toggles_flipAndRestoreSettings) {
    auto cmd = commands();
    cmd.toggleCaptionsBold();
    EXPECT_TRUE(table.captionsBold());
    cmd.toggleCaptionsBold();
    EXPECT_FALSE(table.captionsBold());

    cmd.toggleGridLines();
    EXPECT_FALSE(table.drawGridLines());
    EXPECT_EQ(table.gridLineWidth(), 0);
    cmd.toggleGridLines();
    EXPECT_TRUE(table.drawGridLines());
    EXPECT_EQ(table.gridLineWidth(), 1);
}

TEST_F(CommandsTest, startCaptionEditing_unfixesCaptionsAndMakesFirstCaptionCurrent) {
    current.set({2, 4});
    commands().startCaptionEditing();
    EXPECT_FALSE(table.captionsFixed());
    ASSERT_TRUE(current.cell().has_value());
    EXPECT_EQ(*current.cell(), (CellPos{0, 0}));
}

}  // namespace
}  // namespace taskwick
