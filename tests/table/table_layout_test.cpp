#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/RowNumberTexts.h"
#include "table/TableLayout.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

ResetMetrics metrics() {
    return ResetMetrics{7.0, 21, 25, false};
}

TEST(ResetTable, EmptyLayoutHasOneDataCell) {
    Table t;
    t.grid.setColCount(9);
    t.grid.setRowCount(40);
    t.grid.setCell(5, 20, "old");
    ResetTable(t, 0, 0, metrics());
    const StringGrid& g = t.grid;
    EXPECT_EQ(g.colCount(), 3);
    EXPECT_EQ(g.rowCount(), 2);
    EXPECT_EQ(g.fixedCols(), 2);
    EXPECT_EQ(g.fixedRows(), 1);
    EXPECT_EQ(g.cell(0, 0), "No.");
    EXPECT_EQ(g.cell(0, 1), "1");
    EXPECT_EQ(g.cell(2, 0), "1");
    EXPECT_EQ(g.cell(1, 1), "");
    EXPECT_EQ(g.cell(2, 1), "");
    EXPECT_EQ(g.defaultRowHeight(), 21);
    EXPECT_EQ(g.colWidth(0), 67); // 9 "A" widths and the cell's text margin
    EXPECT_EQ(g.colWidth(1), 7);
    // Column 2 is sized for a content of 12: 13.5 "A" widths.
    EXPECT_EQ(g.colWidth(2), 94);
    ASSERT_EQ(t.rowRecords.size(), 2u);
    ASSERT_EQ(t.colRecords.size(), 3u);
    EXPECT_EQ(t.colRecords[2].width, 94);
    EXPECT_TRUE(t.colRecords[2].visible);
    EXPECT_EQ(t.markedColCount, 0);
}

TEST(ResetTable, GivenSizeKeepsDefaultWidths) {
    Table t;
    t.rowRecords.assign(2, RowRecord{true});
    ResetTable(t, 4, 10, metrics());
    EXPECT_EQ(t.grid.colCount(), 6);
    EXPECT_EQ(t.grid.rowCount(), 11);
    EXPECT_EQ(t.grid.colWidth(2), 84); // 12 "A" widths
    EXPECT_EQ(t.grid.colWidth(5), 84);
    ASSERT_EQ(t.rowRecords.size(), 11u);
    EXPECT_FALSE(t.rowRecords[1].marked);
}

TEST(RowNumbers, ThousandsSeparatorsAndHeaderRows) {
    EXPECT_EQ(RowNumberText(1234567), "1,234,567");
    EXPECT_EQ(RowNumberText(999), "999");
    EXPECT_EQ(RowNumberText(0), "");
    EXPECT_EQ(RowNumberText(-3), "");

    // What column 0 of grid row r shows under each numbering.
    StringGrid grid(3, 1234568);
    RenumberRows(grid, RowNumbering{false, 2}); // below two header rows
    EXPECT_EQ(grid.cell(0, 1), "");
    EXPECT_EQ(grid.cell(0, 2), "");
    EXPECT_EQ(grid.cell(0, 3), "1");
    RenumberRows(grid, RowNumbering{true, 2}); // from the fixed rows
    EXPECT_EQ(grid.cell(0, 1), "1");
    EXPECT_EQ(grid.cell(0, 3), "3");
    RenumberRows(grid, RowNumbering{false, 0});
    EXPECT_EQ(grid.cell(0, 1234567), "1,234,567");
}

TEST(RowNumbers, RenumberAndFixedRows) {
    Table t;
    ResetTable(t, 2, 5, metrics());
    RenumberRows(t.grid, RowNumbering{false, 2});
    ApplyFixedRows(t.grid, 2);
    EXPECT_EQ(t.grid.fixedRows(), 3);
    EXPECT_EQ(t.grid.cell(0, 1), "");
    EXPECT_EQ(t.grid.cell(0, 2), "");
    EXPECT_EQ(t.grid.cell(0, 3), "1");
    EXPECT_EQ(t.grid.cell(0, 5), "3");
    RenumberRows(t.grid, RowNumbering{true, 2});
    EXPECT_EQ(t.grid.cell(0, 1), "1");
    EXPECT_EQ(t.grid.cell(0, 2), "2");
}

TEST(RowNumbers, FixedRowsNeverReachTheLastRow) {
    Table t;
    ResetTable(t, 1, 2, metrics()); // a two-line table
    ApplyFixedRows(t.grid, 3);      // three header rows asked
    EXPECT_EQ(t.grid.fixedRows(), 2);
}

TEST(PutFields, ColumnsOnlyGrowAndShortRowsAreEmptied) {
    Table t;
    ResetTable(t, 0, 3, metrics());
    const std::vector<std::vector<std::string>> lines{
        {"a", "b", "c"}, {"1", "2", "3", "4", "5"}, {"x", "y"}};
    for (int i = 0; i < 3; ++i) {
        t.grid.setCell(0, i + 1, RowNumberText(i + 1));
        PutFieldsIntoRow(t, i + 1, lines[i]);
    }
    const StringGrid& g = t.grid;
    EXPECT_EQ(g.colCount(), 7); // five data columns
    EXPECT_EQ(t.colRecords.size(), 7u);
    for (int c = 2; c < 7; ++c)
        EXPECT_EQ(g.cell(c, 0), std::to_string(c - 1)) << c;
    EXPECT_EQ(g.cell(0, 2), "2");
    EXPECT_EQ(g.cell(6, 2), "5");
    EXPECT_EQ(g.cell(3, 3), "y");
    for (int c = 4; c < 7; ++c)
        EXPECT_EQ(g.cell(c, 3), "") << c;
    // Rewriting a row with fewer fields empties its tail.
    PutFieldsIntoRow(t, 2, std::vector<std::string>{"only"});
    EXPECT_EQ(g.cell(2, 2), "only");
    EXPECT_EQ(g.cell(3, 2), "");
    EXPECT_EQ(g.cell(0, 2), "2");
    EXPECT_EQ(g.colCount(), 7);
}

TEST(PutFields, NewColumnsClearTheirHeaderRows) {
    Table t;
    ResetTable(t, 1, 3, metrics());
    t.grid.setFixedRows(2);
    t.grid.setColCount(5); // stale cells beyond the table
    t.grid.setCell(3, 1, "stale");
    t.grid.setColCount(3);
    PutFieldsIntoRow(t, 3, std::vector<std::string>{"a", "b", "c"});
    EXPECT_EQ(t.grid.cell(3, 1), "");
    EXPECT_EQ(t.grid.cell(3, 0), "2");
    EXPECT_EQ(t.grid.cell(4, 0), "3");
}

// A cell write rebuilds its row, so numbering columns one cell at a time took
// minutes for 200,000 columns; a million must number in one row write.
TEST(ColumnNumbers, WideTablesGrowAndRenumberInOneWrite) {
    constexpr int kWide = 1'000'000;
    Table t;
    ResetTable(t, 0, 3, metrics());
    t.grid.setFixedRows(2);
    t.grid.setCell(1, 2, "kept");
    GrowColumns(t, kWide + kFixedColCount);
    const StringGrid& g = t.grid;
    ASSERT_EQ(g.colCount(), kWide + kFixedColCount);
    ASSERT_EQ(t.colRecords.size(), static_cast<std::size_t>(kWide + kFixedColCount));
    EXPECT_EQ(g.cell(0, 0), "No.");
    EXPECT_EQ(g.cell(2, 0), "1");
    EXPECT_EQ(g.cell(3, 0), "2");
    EXPECT_EQ(g.cell(kWide + 1, 0), std::to_string(kWide));
    EXPECT_EQ(g.cell(1, 2), "kept");
    EXPECT_EQ(g.cell(kWide + 1, 1), "");
    EXPECT_EQ(t.colRecords.back().width, g.defaultColWidth());

    // Renumbering after a column went away: consecutive again, in one write.
    t.grid.deleteCols(3, 1);
    EXPECT_EQ(g.cell(3, 0), "3");
    int changes = 0;
    t.grid.setChangeListener([&](StringGrid::Change) { ++changes; });
    RenumberColumns(t.grid);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(g.cell(3, 0), "2");
    EXPECT_EQ(g.cell(kWide, 0), std::to_string(kWide - 1));
    EXPECT_EQ(g.cell(0, 0), "No.");
    // Growing by a few adds their numbers behind the others.
    GrowColumns(t, kWide + 4);
    EXPECT_EQ(g.cell(kWide + 3, 0), std::to_string(kWide + 2));
    EXPECT_EQ(g.cell(kWide + 1, 0), std::to_string(kWide));
}

TEST(FixedColumn, ItemsAndFill) {
    Table t;
    ResetTable(t, 0, 3, metrics());
    PutFieldsIntoRow(t, 1, std::vector<std::string>{" id ", "名前"});
    PutFieldsIntoRow(t, 2, std::vector<std::string>{"7", " 山田 "});
    const auto items = FixedColumnItems(t.grid);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], " 無し");
    EXPECT_EQ(items[1], " 1. id");
    EXPECT_EQ(items[2], " 2. 名前");
    // A huge name is cut to what a list can show, before a character.
    std::string huge;
    for (int i = 0; i < 1000; ++i)
        huge += "表";
    t.grid.setCell(2, 1, huge);
    EXPECT_EQ(FixedColumnItems(t.grid)[1], " 1. " + huge.substr(0, 3 * kLongestItemName / 2));
    t.grid.setCell(2, 1, " id ");

    SetUpFixedColumn(t.grid, 2, 16, 7.0);
    FillFixedColumn(t.grid, 2);
    EXPECT_EQ(t.grid.cell(1, 0), "固定列");
    EXPECT_EQ(t.grid.colWidth(1), 116); // 16 "A" widths and the text margin
    EXPECT_EQ(t.grid.cell(1, 1), " 名前");
    EXPECT_EQ(t.grid.cell(1, 2), " 山田");
    EXPECT_EQ(t.grid.cell(1, 3), " ");

    SetUpFixedColumn(t.grid, 2, 0, 7.0);
    EXPECT_EQ(t.grid.colWidth(1), 0); // zero digits hide the column

    SetUpFixedColumn(t.grid, 0, 16, 7.0);
    FillFixedColumn(t.grid, 0);
    EXPECT_EQ(t.grid.cell(1, 0), "");
    EXPECT_EQ(t.grid.cell(1, 2), "");
    EXPECT_EQ(t.grid.colWidth(1), 7);
}

} // namespace
} // namespace tabulix
