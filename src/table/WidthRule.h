#pragma once

namespace tabulix {

class StringGrid;

// The column-width rule: a column is as wide as its longest text plus one and
// a half "A" widths, at most the limit; with no separator every data column
// is 80 "A" widths wide (each line is one long field).
struct WidthRule {
    double charWidth = 7.0; // width of "A" in the grid font
    int limit = 25;         // in "A" widths
    bool noSeparator = false;
    bool operator==(const WidthRule&) const = default;
};

// The limit of the "maximum column width" list item: its number plus one.
// Items are 4, 6, 8 .. 80; no item selected counts as the item for 16.
int WidthLimitOfItem(int itemIndex);
inline constexpr int kWidthLimitItemCount = 39;
inline constexpr int kWidthLimitFallbackItem = 6;

// The pixels of a cell beside its text: the 2-pixel inset at the left, and
// at the right one pixel of air (a fixed cell's frame) and the grid line. A
// text of n units is n whole "A" widths wide, so it fits a column of n units
// plus this margin exactly.
inline constexpr int kCellTextMargin = 4;

// Width of a fixed column made to show texts of `units` display units (row
// numbers, the fixed-column display); 0 units hide the column.
int ColumnWidthForUnits(int units, double charWidth);
// The display units one line of a column `colWidth` pixels wide shows.
int UnitsFittingWidth(int colWidth, double charWidth);

// The width the rule gives a column whose longest text is `length` units.
int WantedColumnWidth(int length, const WidthRule& rule);

// Grows one column to the width wanted for a content of `length` display
// units; never narrows it.
void GrowColumnForContent(StringGrid& grid, int col, int length, const WidthRule& rule);

} // namespace tabulix
