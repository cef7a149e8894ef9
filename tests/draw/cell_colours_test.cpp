#include "draw/CellColours.h"
#include "draw/DisplayText.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace tabulix {
namespace {

using Rgb = std::optional<std::uint32_t>;

TEST(CellColours, BreakShadeIsTheGridBackgroundLessSixteenPerChannel) {
    EXPECT_EQ(BreakShadeColour(kGridSilver), 0xB0B0B0u);
    EXPECT_EQ(BreakShadeColour(kGridWhite), 0xEFEFEFu);
    EXPECT_EQ(BreakShadeColour(0x08FF10), 0x00EF00u); // no channel wraps below zero
    DisplayOptions white;
    white.whiteGrid = true;
    EXPECT_EQ(GridBackground(white), kGridWhite);
    EXPECT_EQ(GridBackground(DisplayOptions{}), kGridSilver);
}

// A 4-column, 6-row table (grid columns 2..5, rows 1..6), current cell (2, 1).
class CellColoursTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTable(table, 4, 6, ResetMetrics{7.0, 21, 25, false});
        for (int row = 1; row <= 6; ++row)
            for (int col = 2; col <= 5; ++col)
                table.grid.setCell(col, row, "x");
        input.currentCol = 2;
        input.currentRow = 1;
        input.selection = CellRange{2, 1, 2, 1};
    }
    CellColours at(int col, int row) {
        input.rowEmpty = RowDataIsEmpty(table.grid, row);
        return CellColoursOf(input, col, row);
    }
    Rgb background(int col, int row) { return at(col, row).background; }
    void markRow(int row) { table.rowRecords[row].marked = true; }
    void markCol(int col) {
        table.colRecords[col].marked = true;
        ++table.markedColCount;
    }
    void shade(int col, int row) {
        table.shades.fit(table.grid.rowCount(), table.grid.colCount());
        table.shades.set(row, col, true);
    }

    Table table;
    EditState edit;
    DisplayOptions options;
    CellColourInput input{table, edit, options};
};

TEST_F(CellColoursTest, BreakShadingFollowsTheBitsOutsideTheSelection) {
    shade(3, 2);
    shade(2, 1); // the selected current cell
    EXPECT_EQ(background(3, 2), Rgb(0xB0B0B0));
    EXPECT_EQ(at(3, 2).text, kGridText);
    EXPECT_EQ(background(4, 2), Rgb(kGridSilver));
    EXPECT_TRUE(at(4, 2).anyRuleApplied);
    EXPECT_EQ(background(2, 1), Rgb(kCursorNavy));
    options.whiteGrid = true;
    EXPECT_EQ(background(3, 2), Rgb(0xEFEFEF));
    EXPECT_EQ(background(4, 2), Rgb(kGridWhite));
}

TEST_F(CellColoursTest, WithoutAnyRuleTheCellKeepsTheStandardDrawing) {
    options.breakColor = false;
    const CellColours look = at(3, 2);
    EXPECT_EQ(look.background, std::nullopt);
    EXPECT_FALSE(look.anyRuleApplied);
    EXPECT_FALSE(look.fixed);
}

TEST_F(CellColoursTest, ColumnsBeyondTheShadeBitsAreNotShaded) {
    ResetTable(table, 130, 3, ResetMetrics{7.0, 21, 25, false});
    table.grid.setCell(129, 2, "x");
    table.grid.setCell(128, 2, "x");
    EXPECT_EQ(background(128, 2), Rgb(kGridSilver));
    EXPECT_EQ(background(129, 2), std::nullopt);
}

TEST_F(CellColoursTest, EmptyRowsLightDarkOrNeither) {
    for (int col = 2; col <= 5; ++col)
        table.grid.setCell(col, 3, "");
    shade(3, 3);
    EXPECT_EQ(background(3, 3), Rgb(kEmptyRowLight));
    EXPECT_EQ(at(3, 3).text, kGridText);
    EXPECT_EQ(background(3, 4), Rgb(kGridSilver)); // a row with data

    options.karaGyoColor = false;
    options.karaGyoBlack = true;
    EXPECT_EQ(background(3, 3), Rgb(kEmptyRowDark));
    EXPECT_EQ(at(3, 3).text, kGridText);

    options.karaGyoBlack = false;
    EXPECT_EQ(background(3, 3), Rgb(0xB0B0B0)); // back to the shade
}

TEST(CellColoursRow, DataIsEmptyIgnoresTheFixedColumns) {
    Table table;
    ResetTable(table, 3, 2, ResetMetrics{7.0, 21, 25, false});
    table.grid.setCell(1, 1, " fixed");
    EXPECT_TRUE(RowDataIsEmpty(table.grid, 1));
    table.grid.setCell(4, 1, " ");
    EXPECT_FALSE(RowDataIsEmpty(table.grid, 1));
}

TEST_F(CellColoursTest, MarkedRowWithoutMarkedColumnsIsGreenOutsideTheSelection) {
    markRow(1);
    markRow(3);
    for (int col = 2; col <= 5; ++col)
        EXPECT_EQ(background(col, 3), Rgb(kMarkedGreen)) << col;
    EXPECT_EQ(at(4, 3).text, kHighlightText);
    EXPECT_EQ(background(2, 1), Rgb(kCursorNavy)); // the current cell in a marked row
    input.selection = CellRange{2, 3, 3, 3};
    EXPECT_EQ(background(3, 3), Rgb(kCursorNavy));
    EXPECT_EQ(background(4, 3), Rgb(kMarkedGreen));
}

TEST_F(CellColoursTest, WithMarkedColumnsOnlyTheirCellsOfAMarkedRowAreGreen) {
    markRow(3);
    markCol(3);
    markCol(5);
    EXPECT_EQ(background(3, 3), Rgb(kMarkedGreen));
    EXPECT_EQ(background(5, 3), Rgb(kMarkedGreen));
    EXPECT_EQ(background(2, 3), Rgb(kGridSilver));
    EXPECT_EQ(background(4, 3), Rgb(kGridSilver));
    EXPECT_EQ(background(3, 4), Rgb(kGridSilver)); // a marked column alone colours no data
}

TEST_F(CellColoursTest, ClipRangeIsBlueButSelectedClippedCellsAreNavy) {
    edit.clipRange = CellRange{5, 4, 3, 2}; // either corner order
    EXPECT_EQ(background(4, 3), Rgb(kClipBlue));
    EXPECT_EQ(at(4, 3).text, kHighlightText);
    EXPECT_EQ(background(2, 3), Rgb(kGridSilver));
    input.selection = CellRange{4, 3, 5, 4};
    EXPECT_EQ(background(4, 3), Rgb(kCursorNavy));
    EXPECT_EQ(background(3, 3), Rgb(kClipBlue));
}

TEST_F(CellColoursTest, ConfirmationHighlightWinsOverEveryDataRule) {
    markRow(1);
    edit.clipRange = CellRange{2, 1, 5, 6};
    edit.confirmHighlight = Highlight{CellRange{2, 1, 3, 1}, kHighlightDelete};
    input.selection = CellRange{2, 1, 5, 1};
    EXPECT_EQ(background(2, 1), Rgb(kHighlightDelete)); // current, selected, clipped, marked
    EXPECT_EQ(background(3, 1), Rgb(kHighlightDelete));
    EXPECT_EQ(at(3, 1).text, kHighlightText);
    EXPECT_EQ(background(4, 1), Rgb(kCursorNavy));
}

TEST_F(CellColoursTest, UndoHighlightIsBlackOverEverything) {
    edit.confirmHighlight = Highlight{CellRange{2, 1, 5, 6}, kHighlightInsert};
    edit.undoHighlight = CellRange{2, 1, 3, 2};
    const CellColours look = at(2, 1);
    EXPECT_EQ(look.background, Rgb(kUndoBlack));
    EXPECT_EQ(look.text, kHighlightText);
    EXPECT_TRUE(look.anyRuleApplied);
    EXPECT_EQ(background(3, 2), Rgb(kUndoBlack));
    EXPECT_EQ(background(4, 2), Rgb(kHighlightInsert));
}

TEST_F(CellColoursTest, FixedCellsAreGreyOrGreenForMarks) {
    markRow(4);
    markCol(3);
    const struct {
        int col;
        int row;
        std::uint32_t rgb;
    } cases[] = {{0, 0, kFixedGrey},   {0, 2, kFixedGrey},   {4, 0, kFixedGrey},
                 {0, 4, kMarkedGreen}, {1, 4, kMarkedGreen}, {3, 0, kMarkedGreen}};
    for (const auto& c : cases) {
        const CellColours look = at(c.col, c.row);
        EXPECT_EQ(look.background, Rgb(c.rgb)) << c.col << "," << c.row;
        EXPECT_EQ(look.text, kFixedText);
        EXPECT_TRUE(look.fixed);
    }
}

TEST_F(CellColoursTest, FixedCellAlignment) {
    table.grid.setFixedRows(3); // rows 1 and 2 are header rows
    const struct {
        int col;
        int row;
        bool fixedCenter;
        CellAlign align;
    } cases[] = {
        {0, 0, true, CellAlign::Centre},  // corner
        {0, 4, true, CellAlign::Centre},  // row number
        {3, 0, false, CellAlign::Centre}, // column number
        {1, 0, true, CellAlign::Centre},  // fixed-column caption
        {1, 4, true, CellAlign::Left},    // fixed-column display
        {1, 2, true, CellAlign::Left},
        {3, 2, true, CellAlign::Centre}, // header row
        {3, 2, false, CellAlign::Left},
        {0, 2, false, CellAlign::Centre}, // header row, row-number column
    };
    for (const auto& c : cases) {
        options.fixedCenter = c.fixedCenter;
        EXPECT_EQ(at(c.col, c.row).align, c.align) << c.col << "," << c.row;
    }
    EXPECT_EQ(at(3, 4).align, CellAlign::Left); // data cells follow their own option
    options.dataCenter = true;
    EXPECT_EQ(at(3, 4).align, CellAlign::Centre);
}

TEST_F(CellColoursTest, ClickedHeaderGetsAWhiteFrameInHeaderModes) {
    edit.clickCol = 3;
    edit.clickRow = 4;
    EXPECT_FALSE(at(3, 0).whiteFrame); // cell mode
    edit.headerMode = HeaderMode::ColumnHeader;
    EXPECT_TRUE(at(3, 0).whiteFrame);
    EXPECT_FALSE(at(0, 4).whiteFrame);
    EXPECT_FALSE(at(4, 0).whiteFrame);
    edit.headerMode = HeaderMode::RowHeader;
    EXPECT_TRUE(at(0, 4).whiteFrame);
    EXPECT_FALSE(at(3, 0).whiteFrame);
    EXPECT_FALSE(at(1, 4).whiteFrame);
}

} // namespace
} // namespace tabulix
