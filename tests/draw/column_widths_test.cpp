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

namespace tabulix {
namespace {

// Date editing shows two slashes more than a 6- or 8-digit cell holds; the
// width rule counts what is shown, so the dates are never cut.
TEST(ColumnWidths, CountTheDisplayTextWithDateEditingOn) {
    Table t = tableWith({"20240101", "ab"});
    t.grid.setCell(3, 1, "240315");
    DisplayOptions dates;
    dates.dateEdit = true;
    const struct {
        bool dateEdit;
        bool trim;
        int col2;
        int col3;
    } cases[] = {
        {false, false, 66, 52}, // 9.5 and 7.5 "A" widths
        {true, false, 80, 66},  // "2024/01/01" 10 units, "24/03/15" 8 units
        {true, true, 80, 66},
    };
    for (const auto& c : cases) {
        DisplayOptions options;
        options.dateEdit = c.dateEdit;
        options.trimSpace = c.trim;
        ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, 25, false}, options);
        EXPECT_EQ(t.grid.colWidth(2), c.col2) << c.dateEdit;
        EXPECT_EQ(t.grid.colWidth(3), c.col3) << c.dateEdit;
        EXPECT_EQ(t.colRecords[2].width, c.col2);
    }
    // A 7-digit number and a 10-byte date stay as they are.
    Table u = tableWith({"2024031", "2024-03-15"});
    ComputeColumnWidths(u.grid, u.colRecords, WidthRule{kA, 25, false}, dates);
    EXPECT_EQ(u.grid.colWidth(2), 80); // 11.5 "A" widths: "2024-03-15"
    // Trimming counts the text without its blanks.
    Table v = tableWith({"   abcdefghij   "});
    DisplayOptions trim;
    trim.trimSpace = true;
    ComputeColumnWidths(v.grid, v.colRecords, WidthRule{kA, 25, false}, trim);
    EXPECT_EQ(v.grid.colWidth(2), 80);
}

TEST(ColumnWidths, GrowingForDatesNeverNarrowsAndKeepsHiddenColumns) {
    Table t = tableWith({"20240101"});
    t.grid.setCell(3, 1, "240315");
    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, 25, false});
    t.grid.setColWidth(3, 300);
    DisplayOptions dates;
    dates.dateEdit = true;
    GrowColumnsForDisplayText(t.grid, t.colRecords, WidthRule{kA, 25, false}, dates);
    EXPECT_EQ(t.grid.colWidth(2), 80);
    EXPECT_EQ(t.grid.colWidth(3), 300);
    EXPECT_EQ(t.colRecords[2].width, 80);
    t.grid.setColWidth(2, 0); // hidden
    GrowColumnsForDisplayText(t.grid, t.colRecords, WidthRule{kA, 25, false}, dates);
    EXPECT_EQ(t.grid.colWidth(2), 0);
    // With no separator every column already has its width.
    t.grid.setColWidth(2, 40);
    GrowColumnsForDisplayText(t.grid, t.colRecords, WidthRule{kA, 25, true}, dates);
    EXPECT_EQ(t.grid.colWidth(2), 40);
}

TEST(WidthRule, FixedColumnsFitTheirUnitsBesideTheTextMargin) {
    EXPECT_EQ(ColumnWidthForUnits(9, 7.0), 67);
    EXPECT_EQ(ColumnWidthForUnits(0, 7.0), 0); // hidden
    for (int units = 1; units <= 99; ++units)
        EXPECT_EQ(UnitsFittingWidth(ColumnWidthForUnits(units, 7.0), 7.0), units);
    EXPECT_EQ(UnitsFittingWidth(70, 7.0), 9); // a column 10 "A" wide folds at 9
    EXPECT_EQ(UnitsFittingWidth(4, 7.0), 0);
    EXPECT_EQ(UnitsFittingWidth(0, 7.0), 0);
}

} // namespace
} // namespace tabulix
