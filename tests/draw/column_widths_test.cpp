#include "draw/ColumnWidths.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <gtest/gtest.h>

namespace tabulix {
namespace {

constexpr double kA = 7.0;

Table tableWith(const std::vector<std::string>& column) {
    Table t;
    ResetTable(t, 2, static_cast<int>(column.size()), ResetMetrics{kA, 21, 25, false});
    for (int r = 0; r < static_cast<int>(column.size()); ++r)
        t.grid.setCell(2, r + 1, column[r]);
    return t;
}

TEST(WidthLimit, ItemsCountFrom4InSteps0f2) {
    EXPECT_EQ(WidthLimitOfItem(0), 5);
    EXPECT_EQ(WidthLimitOfItem(10), 25);
    EXPECT_EQ(WidthLimitOfItem(38), 81);
    EXPECT_EQ(WidthLimitOfItem(-1), 17); // nothing chosen: the item for 16
}

TEST(ColumnWidths, LongestCellCappedAtTheLimit) {
    Table t = tableWith({std::string(40, 'x'), "ab"});
    t.grid.setCell(3, 1, "ab");
    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, 25, false});
    EXPECT_EQ(t.grid.colWidth(2), 175); // 25 "A" widths
    EXPECT_EQ(t.grid.colWidth(3), 35);  // never below 5 "A" widths
    EXPECT_EQ(t.colRecords[2].width, 175);
    EXPECT_EQ(t.colRecords[3].width, 35);
}

TEST(ColumnWidths, CountsDisplayUnitsAndHeaderRows) {
    // Ten wide characters are 20 display units: 21.5 "A" widths.
    Table t = tableWith({"日本語日本語日本語日"});
    t.grid.setCell(3, 0, "2");
    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, 25, false});
    EXPECT_EQ(t.grid.colWidth(2), 150);
    // Half-width katakana count one unit each.
    Table k = tableWith({"ｱｲｳｴｵｶｷｸｹｺ"});
    ComputeColumnWidths(k.grid, k.colRecords, WidthRule{kA, 25, false});
    EXPECT_EQ(k.grid.colWidth(2), 80); // 11.5 "A" widths
}

TEST(ColumnWidths, NoSeparatorMakesEveryColumn80Wide) {
    Table t = tableWith({"a"});
    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, 25, true});
    EXPECT_EQ(t.grid.colWidth(2), 560);
    EXPECT_EQ(t.grid.colWidth(3), 560);
}

TEST(ColumnWidths, GrowForContentNeverNarrows) {
    Table t = tableWith({"a"});
    t.grid.setColWidth(2, 300);
    GrowColumnForContent(t.grid, 2, 12, WidthRule{kA, 25, false});
    EXPECT_EQ(t.grid.colWidth(2), 300);
    t.grid.setColWidth(2, 10);
    GrowColumnForContent(t.grid, 2, 12, WidthRule{6.5, 25, false});
    EXPECT_EQ(t.grid.colWidth(2), 87); // trunc(13.5 * 6.5)
}

} // namespace
} // namespace tabulix
