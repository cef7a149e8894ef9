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
};

// The limit of the "maximum column width" list item: its number plus one.
// Items are 4, 6, 8 .. 80; no item selected counts as the item for 16.
int WidthLimitOfItem(int itemIndex);
inline constexpr int kWidthLimitItemCount = 39;
inline constexpr int kWidthLimitFallbackItem = 6;

// Grows one column to the width wanted for a content of `length` display
// units; never narrows it.
void GrowColumnForContent(StringGrid& grid, int col, int length, const WidthRule& rule);

} // namespace tabulix
