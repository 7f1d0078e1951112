#include "table/merge/ListMerge.h"

#include <gtest/gtest.h>

#include <vector>

using namespace taskwick;

namespace {

using Rows = std::vector<std::vector<QString>>;

// A table of the given texts; row 0 holds the captions.
void fill(TaskTable& table, const Rows& rows) {
    int cols = 1;
    for (const auto& row : rows) {
        cols = std::max(cols, static_cast<int>(row.size()));
    }
    table.setShape(static_cast<int>(rows.size()), cols);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            table.setCell(c, r, rows[r][c]);
        }
    }
}

Rows shown(const TaskTable& table) {
    Rows rows(static_cast<size_t>(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.colCount(); ++c) {
            rows[r].push_back(table.cell(c, r));
        }
    }
    return rows;
}

struct MergeCase {
    const char* name;
    Rows base, ours, theirs, merged;
    std::vector<CellPos> conflicts;
};

}  // namespace

// Each case is a fault a merge could make: a word of one side lost, a deletion undone, a
// caption doubled, a row or column dropped that still holds text.
TEST(ListMerge, cellByCellKeepsEveryWordOfBothSides) {
    const QString both = QStringLiteral("mine") + ConflictSeparator + QStringLiteral("yours");
    const std::vector<MergeCase> cases = {
        {"changed on one side only, either side",
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {"a2"}, {"b"}},
         {{"C"}, {"a"}, {"b2"}},
         {{"C"}, {"a2"}, {"b2"}},
         {}},
        {"changed on both sides to the same text",
         {{"C"}, {"a"}},
         {{"C"}, {"same"}},
         {{"C"}, {"same"}},
         {{"C"}, {"same"}},
         {}},
        {"changed on both sides to different texts: both stay, ours first",
         {{"C", "D"}, {"a", "x"}},
         {{"C", "D"}, {"mine", "x"}},
         {{"C", "D"}, {"yours", "x"}},
         {{"C", "D"}, {both, "x"}},
         {CellPos{0, 1}}},
        {"emptied on one side and untouched on the other: emptied",
         {{"C"}, {"a"}},
         {{"C"}, {"a"}},
         {{"C"}, {""}},
         {{"C"}, {""}},
         {}},
        {"emptied on one side and rewritten on the other: the words stay",
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {""}, {"b2"}},
         {{"C"}, {"a2"}, {""}},
         {{"C"}, {"a2"}, {"b2"}},
         {}},
        {"a loaded blank and an empty cell are the same",
         {{"C"}, {" "}},
         {{"C"}, {""}},
         {{"C"}, {"new"}},
         {{"C"}, {"new"}},
         {}},
        {"captions: one side's change wins, ours on a clash",
         {{"A", "B", "K"}, {""}},
         {{"A2", "B", "Kours"}, {""}},
         {{"A", "B2", "Ktheirs"}, {""}},
         {{"A2", "B2", "Kours"}, {"", "", ""}},
         {}},
        {"a row added on one side: it comes with its text",
         {{"C"}, {"a"}},
         {{"C"}, {"a"}},
         {{"C"}, {"a"}, {"new task"}},
         {{"C"}, {"a"}, {"new task"}},
         {}},
        {"rows added on both sides hold both texts",
         {{"C"}, {"a"}},
         {{"C"}, {"a"}, {"mine"}},
         {{"C"}, {"a"}, {"yours"}},
         {{"C"}, {"a"}, {both}},
         {CellPos{0, 2}}},
        {"a row deleted on one side and edited on the other stays",
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {"a"}, {"b edited"}},
         {{"C"}, {"a"}},
         {{"C"}, {"a"}, {"b edited"}},
         {}},
        {"a row deleted on one side and untouched on the other goes",
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {"a"}},
         {{"C"}, {"a"}},
         {}},
        {"a column deleted on one side and edited on the other stays",
         {{"C", "D"}, {"a", "x"}},
         {{"C"}, {"a"}},
         {{"C", "D"}, {"a", "x edited"}},
         {{"C", "D"}, {"a", "x edited"}},
         {}},
        {"merged again: a cell that holds both texts stays as it is, on either side",
         {{"C"}, {"a"}, {"b"}},
         {{"C"}, {both}, {"yours"}},
         {{"C"}, {"yours"}, {"yours" + ConflictSeparator + "mine"}},
         {{"C"}, {both}, {"yours" + ConflictSeparator + "mine"}},
         {}},
        {"an empty row added on our side stays when theirs did not change the count",
         {{"C"}, {"a"}},
         {{"C"}, {"a"}, {""}},
         {{"C"}, {"a2"}},
         {{"C"}, {"a2"}, {""}},
         {}},
    };
    for (const MergeCase& c : cases) {
        TaskTable base, ours, theirs, result;
        fill(base, c.base);
        fill(ours, c.ours);
        fill(theirs, c.theirs);
        const MergeOutcome outcome = mergeLists(base, ours, theirs, result);
        EXPECT_EQ(shown(result), c.merged) << c.name;
        EXPECT_EQ(outcome.conflicts, c.conflicts) << c.name;
    }
}

TEST(ListMerge, settingsGoFieldByField_andTheOutcomeCountsWhatCameIn) {
    TaskTable base, ours, theirs, result;
    for (TaskTable* t : {&base, &ours, &theirs}) {
        fill(*t, {{"A", "B"}, {"a", "b"}});
        t->setColumnWidth(0, 50);
        t->setColumnWidth(1, 60);
    }
    ours.setColumnWidth(0, 70);                    // ours only
    theirs.setColumnWidth(1, 80);                  // theirs only
    ours.setColumnAlignment(0, Alignment::Right);  // both: ours wins
    theirs.setColumnAlignment(0, Alignment::Center);
    theirs.setColumnAlignment(1, Alignment::Center);
    theirs.setCaptionsBold(true);
    ours.setDrawGridLines(false);
    theirs.setCell(1, 1, QStringLiteral("b2"));

    const MergeOutcome outcome = mergeLists(base, ours, theirs, result);
    EXPECT_EQ(result.columnWidth(0), 70);
    EXPECT_EQ(result.columnWidth(1), 80);
    EXPECT_EQ(result.columnAlignment(0), Alignment::Right);
    EXPECT_EQ(result.columnAlignment(1), Alignment::Center);
    EXPECT_TRUE(result.captionsBold());
    EXPECT_FALSE(result.drawGridLines());
    EXPECT_EQ(outcome.cellsTaken, 1);
    EXPECT_TRUE(outcome.changedOurs());

    // Nothing new on their side: ours comes out as it was, and nothing counts as taken.
    TaskTable again;
    const MergeOutcome none = mergeLists(base, ours, base, again);
    EXPECT_FALSE(none.changedOurs());
    EXPECT_TRUE(sameList(again, ours));

    // Both changed the row count: theirs, where no text is past it.
    ours.setRowCount(5);
    theirs.setRowCount(4);
    TaskTable counted;
    mergeLists(base, ours, theirs, counted);
    EXPECT_EQ(counted.rowCount(), 4);
}
