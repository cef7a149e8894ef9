#include "draw/BreakShade.h"
#include "table/RowPieces.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <random>

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

// Rows read in pieces of every size, on both cores, give the shades of one
// read: runs and blanks across the pieces' ends, header rows above, more
// columns than a byte of bits.
TEST(BreakShade, ShadesOfRowsReadInPiecesAreTheShadesOfOneRead) {
    std::mt19937 random(7);
    const char* const values[] = {"", " ", "a", "b", "a "};
    for (const int headerRows : {1, 2, 5}) {
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < 300; ++r) {
            std::vector<std::string> row;
            row.push_back(std::to_string(r / 40));           // long runs
            row.push_back(r % 13 ? std::string("same") : ""); // blanks now and then
            for (int c = 0; c < 9; ++c)
                row.push_back(values[random() % (c < 4 ? 3 : 5)]);
            rows.push_back(row);
        }
        Table whole = tableOf(rows);
        whole.grid.setFixedRows(headerRows);
        RecomputeBreakShades(whole, -1, 0);
        for (const int pieceRows : {1, 2, 3, 7, 64, 1000}) {
            Table pieced = tableOf(rows);
            pieced.grid.setFixedRows(headerRows);
            const RowPieces pieces{0, pieced.grid.rowCount(), pieceRows};
            PieceShades shading(pieced, pieces);
            ReadRowsInPieces(pieced.grid, pieces,
                             [&](std::size_t piece, int row, std::span<const std::string_view> cells,
                                 std::span<const std::string_view> above) {
                                 shading.see(piece, row, cells, above);
                             });
            shading.join();
            for (int col = 2; col <= 12; ++col)
                EXPECT_EQ(shades(pieced, col), shades(whole, col))
                    << "header rows " << headerRows << ", pieces of " << pieceRows << ", column " << col;
        }
    }
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
