#include "draw/ColumnWidths.h"
#include "draw/DisplayText.h"
#include "draw/RowHeights.h"
#include "table/StringGrid.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace tabulix {
namespace {

constexpr double kA = 7.0; // width of "A"
constexpr int kH = 20;     // height of "A"
constexpr int kStandard = 21;

// A text fits on one line when its units and the cell's text margin (4
// pixels) fit the column, exactly as the drawing shows it.
TEST(FoldedLineCount, FitsOrCountsWholeColumnWidthsPlusOne) {
    const struct {
        std::size_t units;
        int width;
        int lines;
    } cases[] = {
        {50, 70, 6}, {10, 74, 1}, {10, 73, 2}, {9, 70, 1}, {11, 70, 2}, {20, 70, 3},
        {0, 70, 1},  {0, 2, 1},   {500, 0, 1}, {1, 1, 8},  {1, 10, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FoldedLineCount(c.units, c.width, kA), c.lines) << c.units << " in " << c.width;
}

TEST(FoldedRowHeight, IsTruncatedLinesPlusFourTenthsSpacing) {
    const struct {
        int lines;
        int h;
        int height;
    } cases[] = {
        {6, 20, 140}, // 7h
        {3, 20, 74},  // trunc(3h + 0.7h)
        {3, 19, 70},  // trunc(57 + 13.3)
        {2, 21, 54},  // trunc(42 + 12.6)
        {30, 20, 668},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FoldedRowHeight(c.lines, c.h), c.height) << c.lines;
}

class RowHeightsTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setFixedCols(2);
        grid.setFixedRows(1);
        grid.setDefaultRowHeight(kStandard);
        for (int col = 0; col < grid.colCount(); ++col)
            grid.setColWidth(col, 10 * 7); // ten "A" wide
    }
    int heightWith(int foldItem, int row = 1) {
        options.foldItem = foldItem;
        ComputeRowHeights(grid, options, kA, kH);
        return grid.rowHeight(row);
    }

    StringGrid grid{4, 4};
    DisplayOptions options;
};

TEST_F(RowHeightsTest, FiftyUnitsInTenAWidthsByFoldingChoice) {
    grid.setCell(2, 1, std::string(50, 'x'));
    EXPECT_EQ(heightWith(kFoldAuto), 7 * kH);
    EXPECT_EQ(heightWith(3), static_cast<int>(3 * kH + 0.7 * kH));
    EXPECT_EQ(heightWith(6), 7 * kH);
    EXPECT_EQ(heightWith(30), 7 * kH);
    EXPECT_EQ(heightWith(kFoldNone), kStandard);
    EXPECT_EQ(grid.rowHeight(2), kStandard);
}

TEST_F(RowHeightsTest, TheLongestCellOfTheRowDecidesFixedCellsIncluded) {
    grid.setCell(2, 1, std::string(15, 'x')); // 2 lines
    grid.setCell(3, 1, std::string(25, 'x')); // 3 lines
    grid.setCell(0, 2, std::string(21, 'x')); // a fixed column
    grid.setCell(3, 0, std::string(11, 'x')); // a fixed row
    options.foldItem = kFoldAuto;
    ComputeRowHeights(grid, options, kA, kH);
    EXPECT_EQ(grid.rowHeight(0), FoldedRowHeight(2, kH));
    EXPECT_EQ(grid.rowHeight(1), FoldedRowHeight(3, kH));
    EXPECT_EQ(grid.rowHeight(2), FoldedRowHeight(3, kH));
    EXPECT_EQ(grid.rowHeight(3), kStandard);
}

TEST_F(RowHeightsTest, OneLineRowsReturnToTheDefaultHeight) {
    grid.setRowHeight(1, 300);
    grid.setCell(2, 1, "short");
    EXPECT_EQ(heightWith(kFoldAuto), kStandard);
}

TEST_F(RowHeightsTest, CountsTheDisplayText) {
    const struct {
        const char* name;
        std::string text;
        bool trim;
        bool dates;
        int col;
        int height;
    } cases[] = {
        {"wide characters count two", "日本語日本語", false, false, 3, FoldedRowHeight(2, kH)},
        {"each line of a text folds alone", "abcde\r\nfghi", false, false, 3,
         FoldedRowHeight(2, kH)},
        {"long lines fold within lines", "abcdefghijk\nabcdefghijk\nx", false, false, 3,
         FoldedRowHeight(5, kH)},
        {"trailing blank lines do not count", "abc\n  \n\r\n", false, false, 3, kStandard},
        {"inner blank lines count", "abc\n\nd", false, false, 3, FoldedRowHeight(3, kH)},
        {"short texts with a break count", "a\nb", false, false, 1, FoldedRowHeight(2, kH)},
        {"trimmed blanks do not count", "  abcdefghij  ", true, false, 3, kStandard},
        {"untrimmed blanks count", "  abcdefghij  ", false, false, 3, FoldedRowHeight(2, kH)},
        {"dates grow by two slashes", "240315", false, true, 2, FoldedRowHeight(2, kH)},
        {"no date editing", "240315", false, false, 2, kStandard},
        {"eight digits", "20240315", false, true, 1, FoldedRowHeight(2, kH)},
    };
    grid.setColWidth(1, 9 * 7 + 4);  // 9 units fit, 10 do not
    grid.setColWidth(2, 7 * 7 + 4);  // 7 units fit, 8 do not
    grid.setColWidth(3, 10 * 7 + 4); // 10 units fit
    for (const auto& c : cases) {
        grid.clearCells();
        grid.setCell(c.col, 1, c.text);
        options.trimSpace = c.trim;
        options.dateEdit = c.dates;
        EXPECT_EQ(heightWith(kFoldAuto), c.height) << c.name;
    }
}

std::string randomText(std::mt19937& rng) {
    static const std::string pieces[] = {"a", " ",    "日", "ｱ",    "\r\n",         "\r",
                                         "5", "\xff", "↵",  "\xe0", "\xed\xa0\x80", "😀",
                                         "é", "\x80"};
    std::string text;
    const int length = static_cast<int>(rng() % 14);
    for (int i = 0; i < length; ++i)
        text += pieces[rng() % std::size(pieces)];
    return text;
}

TEST(DisplayLineUnits, CountsLikeCellDisplayUnitsOnAnyBytes) {
    std::mt19937 rng(11);
    for (int i = 0; i < 20000; ++i) {
        std::string text = randomText(rng);
        if (i % 3 == 0) text += static_cast<char>(rng()); // cut sequences at the end
        ASSERT_EQ(DisplayLineUnits(text), cellDisplayUnits(text)) << text;
    }
}

// The shortcut that skips texts too short to fold must agree with counting
// every cell's display text, also with an uneven "A" width. One data column,
// so no other cell of the row hides a miscount.
// The plain model of a folded cell's lines: the text's lines, cut at CR LF,
// CR and LF, each folded alone; blank lines after the first are not drawn
// when no text follows them.
int modelLines(const std::string& shown, int width, double wA) {
    if (width <= 0) return 1;
    std::vector<std::string> lines{""};
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r' || shown[i] == '\n') {
            if (shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += shown[i];
        }
    }
    while (lines.size() > 1 && TrimBlanks(lines.back()).empty())
        lines.pop_back();
    int count = 0;
    for (const std::string& line : lines)
        count += FoldedLineCount(cellDisplayUnits(line), width, wA);
    return count;
}

TEST(RowHeights, ShortcutAgreesWithCountingEveryCell) {
    const double wA = 6.984375;
    std::mt19937 rng(5);
    StringGrid grid(1, 3000);
    grid.setDefaultRowHeight(kStandard);
    for (int row = 0; row < grid.rowCount(); ++row) {
        std::string text = randomText(rng);
        if (row % 5 == 0) text = std::to_string(rng() % 100000000).substr(0, 6 + rng() % 3);
        grid.setCell(0, row, text);
    }
    for (const int width : {0, 6, 20, 35, 55, 69, 70, 104})
        for (const bool trim : {false, true})
            for (const bool dates : {false, true})
                for (const int fold : {kFoldAuto, 3}) {
                    grid.setColWidth(0, width);
                    DisplayOptions options;
                    options.trimSpace = trim;
                    options.dateEdit = dates;
                    options.foldItem = fold;
                    ComputeRowHeights(grid, options, wA, kH);
                    for (int row = 0; row < grid.rowCount(); ++row) {
                        const std::string shown = DisplayText(grid.cell(0, row), options);
                        int lines = modelLines(shown, width, wA);
                        if (fold == 3) lines = std::min(lines, 3);
                        const int expected = lines > 1 ? FoldedRowHeight(lines, kH) : kStandard;
                        ASSERT_EQ(grid.rowHeight(row), expected)
                            << "width " << width << " text " << grid.cell(0, row);
                    }
                }
}

// What the widths pass measured lets the heights skip the columns whose
// longest text fits; the heights must be those of looking at every cell, with
// columns capped and not, line breaks in a few rows, a fixed column, dates.
TEST(RowHeights, TheWidthsMeasureSkipsNothingThatFolds) {
    static const std::string pieces[] = {"a", " ", "日", "ｱ", "5", "é", "😀", "\r\n", "x", "9"};
    std::mt19937 rng(23);
    Table t;
    ResetTable(t, 6, 2000, ResetMetrics{kA, kStandard, 25, false});
    for (int row = 0; row < t.grid.rowCount(); ++row)
        for (int col = 1; col < t.grid.colCount(); ++col) {
            std::string text;
            const int length = static_cast<int>(rng() % (col * 3));
            for (int i = 0; i < length; ++i) {
                const std::string& piece = pieces[rng() % std::size(pieces)];
                if (piece != "\r\n" || row % 97 == 0) text += piece;
            }
            if (col == 4 && row % 7 == 0) text = std::to_string(20240101 + row % 30);
            t.grid.setCell(col, row, text);
        }
    // Every limit up to the longest texts: some column's longest text is then
    // just one or two units beyond its capped width.
    for (int limit = 4; limit <= 40; ++limit)
        for (const bool dates : {false, true})
            for (const int fold : {kFoldAuto, 2}) {
                DisplayOptions options;
                options.dateEdit = dates;
                options.trimSpace = limit % 3 == 0;
                options.foldItem = fold;
                const std::vector<int> longest =
                    ComputeColumnWidths(t.grid, t.colRecords, WidthRule{kA, limit, false}, options);
                // The fixed column keeps the width it was given.
                t.grid.setColWidth(1, static_cast<int>(kA * (limit % 5 + 1)) + 4);
                ComputeRowHeights(t.grid, options, kA, kH, longest);
                std::vector<int> skipped;
                for (int row = 0; row < t.grid.rowCount(); ++row)
                    skipped.push_back(t.grid.rowHeight(row));
                ComputeRowHeights(t.grid, options, kA, kH);
                for (int row = 0; row < t.grid.rowCount(); ++row)
                    ASSERT_EQ(skipped[row], t.grid.rowHeight(row))
                        << "limit " << limit << " dates " << dates << " row " << row;
            }
}

} // namespace
} // namespace tabulix
