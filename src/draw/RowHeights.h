#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tabulix {

class StringGrid;
struct DisplayOptions;

// Display units of a text shown on one line, exactly as cellDisplayUnits
// counts them, with the common characters decoded in place: the row heights
// count every long cell of the table.
std::size_t DisplayLineUnits(std::string_view text);

// Lines a text of `units` display units takes in a column `colWidth` pixels
// wide: one when the column is hidden (width 0) or the text fits beside the
// cell's margin (as the drawing shows it), otherwise
// trunc(text width / column width) + 1, at least two.
int FoldedLineCount(std::size_t units, int colWidth, double charWidth);

// Height of a row showing `lines` lines of text `charHeight` high: the lines
// plus four tenths of a line for every line and four more tenths, truncated.
int FoldedRowHeight(int lines, int charHeight);

// Gives every row, fixed rows included, the height its longest display text
// needs when folded (each line of a text folding on its own), capped by the
// folding choice; rows of one line (and
// every row when folding is off) get the default row height. One pass; cells
// too short to fold are skipped without decoding.
//
// `longestUnits`, when the widths were just measured, holds per column the
// most display units a text of that column shows, as the widths count them (a
// negative count, or a column past its end, means unknown): a column
// whose longest text fits in its width is then looked at only in the rare rows
// with line breaks.
void ComputeRowHeights(StringGrid& grid, const DisplayOptions& options, double charWidth,
                       int charHeight, std::span<const int> longestUnits = {});

} // namespace tabulix
