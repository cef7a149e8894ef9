#include "draw/BreakShade.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

Table tableOf(const std::vector<std::vector<std::string>>& rows) {
    Table t;
    ResetTable(t, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
               ResetMetrics{7.0, 21, 25, false});
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
            t.grid.setCell(c + 2, r + 1, rows[r][c]);
    return t;
}

std::string shades(const Table& t, int col) {
    std::string bits;
    for (int r = 1; r < t.grid.rowCount(); ++r)
        bits += t.shades.test(r, col) ? '1' : '0';
    return bits;
}

TEST(BreakShade, FlipsAtEachChangeAndClearsEmptyCells) {
    Table t = tableOf({{"A"}, {"A"}, {"B"}, {"B"}, {""}, {"B"}});
    RecomputeBreakShades(t, -1, 0);
    EXPECT_EQ(shades(t, 2), "110001");
}

TEST(BreakShade, AlongsideOtherWorkGivesTheSameShades) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < 5000; ++r)
        rows.push_back({std::to_string(r / 3), r % 7 ? "x" : "", std::to_string(r / 11)});
    Table alone = tableOf(rows);
    RecomputeBreakShades(alone, -1, 0);
    Table together = tableOf(rows);
    bool workRan = false;
    RecomputeBreakShadesAlongside(together, [&] {
        together.grid.setColWidth(3, 99);
        workRan = true;
    });
    EXPECT_TRUE(workRan);
    for (int col = 2; col <= 4; ++col)
        EXPECT_EQ(shades(together, col), shades(alone, col)) << col;
}

TEST(BreakShade, BlankOnlyCellsCountAsEmptyButComparisonIsExact) {
    Table t = tableOf({{"x"}, {"  "}, {"x"}, {"x "}, {"x "}});
    RecomputeBreakShades(t, -1, 0);
    EXPECT_EQ(shades(t, 2), "10100");
}

TEST(BreakShade, StartsBelowTheHeaderRows) {
    Table t = tableOf({{"head"}, {"a"}, {"a"}, {"b"}});
    t.grid.setFixedRows(2);
    RecomputeBreakShades(t, -1, 0);
    EXPECT_EQ(shades(t, 2).substr(1), "110");
}

TEST(BreakShade, FromARowKeepsTheRowAboveAndOneColumnOnly) {
    Table t = tableOf({{"a", "p"}, {"a", "p"}, {"b", "q"}, {"b", "q"}});
    RecomputeBreakShades(t, -1, 0);
    ASSERT_EQ(shades(t, 2), "1100");
    t.grid.setCell(2, 4, "c");
    t.grid.setCell(3, 4, "z");
    RecomputeBreakShades(t, 2, 4);
    EXPECT_EQ(shades(t, 2), "1101");
    EXPECT_EQ(shades(t, 3), "1100"); // untouched column
}

TEST(BreakShade, ColumnsBeyondTheShadeBitsAreSkipped) {
    Table t;
    ResetTable(t, 140, 2, ResetMetrics{7.0, 21, 25, false});
    t.grid.setCell(130, 1, "a");
    t.grid.setCell(130, 2, "b");
    t.grid.setCell(128, 1, "a");
    t.grid.setCell(128, 2, "b");
    RecomputeBreakShades(t, -1, 0);
    EXPECT_EQ(shades(t, 128), "10");
    EXPECT_EQ(shades(t, 130), "00");
}

// Rows take the bytes their columns need; a table grown wider, or longer,
// keeps the shades it has and gains room for the new ones.
TEST(BreakShade, AWiderOrLongerTableKeepsItsShades) {
    Table t = tableOf({{"a", "p"}, {"b", "p"}, {"b", "q"}});
    RecomputeBreakShades(t, -1, 0);
    ASSERT_EQ(t.shades.stride(), 1);
    t.grid.setColCount(20);
    t.grid.setRowCount(5);
    t.rowRecords.resize(5);
    t.grid.setCell(15, 1, "x");
    t.grid.setCell(15, 2, "y");
    t.grid.setCell(2, 4, "c");
    RecomputeBreakShades(t, 15, 0);
    EXPECT_EQ(t.shades.stride(), 2);
    EXPECT_EQ(shades(t, 2), "1000"); // as before, the new row not yet shaded
    EXPECT_EQ(shades(t, 15), "1000");
    RecomputeBreakShades(t, -1, 4);
    EXPECT_EQ(shades(t, 2), "1001");
    EXPECT_EQ(shades(t, 3), "1100");
    EXPECT_EQ(shades(t, 15), "1000");
}

} // namespace
} // namespace tabulix
