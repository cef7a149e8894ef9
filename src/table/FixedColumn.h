#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class StringGrid;

// The fixed-column display: column 1 shows a copy of one chosen data column
// (item k of the fixed-column list; 0 is none).

// The list's items: " 無し", then per data column " n. " + its row-1 text
// without surrounding blanks, at most kLongestItemName display units of it
// (a row-1 cell may hold a whole file's text).
inline constexpr std::size_t kLongestItemName = 256;
std::vector<std::string> FixedColumnItems(const StringGrid& grid);
// The item a remembered choice gives: itself while the grid has that many
// data columns, none otherwise.
int FixedColumnItemFor(const StringGrid& grid, int remembered);

// Headers and width of column 1 for choice k with the width item `widthItem`
// (digits of "A" width).
void SetUpFixedColumn(StringGrid& grid, int k, int widthItem, double charWidth);

// Copies data column k (each text trimmed, after one blank) into column 1 of
// every row below row 0; empty when k is 0 or beyond the data columns.
void FillFixedColumn(StringGrid& grid, int k);
// What column 1 shows for a cell of the chosen column, into `out`.
void FixedColumnText(std::string_view cell, std::string& out);

} // namespace tabulix
