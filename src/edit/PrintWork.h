#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

struct Table;
class StringGrid;

// What the print commands hand to the print preview: the part of the table
// to print, copied into the work grid, and the widths that keep suppressed
// columns off the paper. Pure grid work; the window opens the preview.

using PrintTitles = std::array<std::string, 4>;

// "File.Name:  " + the trimmed path; line 2 for the single-row print.
PrintTitles TablePrintTitles(const std::string& path);
PrintTitles SingleRowPrintTitles(const std::string& path, int shownRow);

// Whole-table print: every column's width kept in its record; suppressed
// columns at width 0, column 0 as wide as the last row's number plus two
// "A", column 1 at 0 without a fixed column. Undone by RestorePrintWidths.
void PreparePrintWidths(Table& table, double charWidth, bool fixedColumnShown);
void RestorePrintWidths(Table& table);

// The work grid for rows (columns): the fixed rows (columns), then the given
// lines that are not fixed, with their sizes; `lines` in table order.
void BuildRowsWork(const StringGrid& grid, const std::vector<int>& rows, StringGrid& work);
void BuildColumnsWork(const StringGrid& grid, const std::vector<int>& cols, StringGrid& work);
// The cell range left .. right, top .. bottom with the fixed rows and columns.
void BuildRangeWork(const StringGrid& grid, int left, int top, int right, int bottom,
                    StringGrid& work);
// The single-row view as it is, each column narrowed to its longest text
// plus two "A".
void BuildSingleRowWork(const StringGrid& vert, StringGrid& work, double charWidth);

// A column as wide as a text on paper: its units, trimmed, plus two "A".
int PrintWidthForText(std::string_view text, double charWidth);

// The lines of a text document (CR LF, CR or LF end one) as a one-column
// grid without fixed lines, each line after one blank.
void BuildTextDocumentWork(std::string_view text, StringGrid& work);

// A work grid made ready: column 0 as wide as its last row's number plus two
// "A", column 1 at 0 without a fixed column, and every column whose row-0
// number names a suppressed table column at width 0.
void PrepareWorkForPrint(StringGrid& work, const Table& table, double charWidth,
                         bool fixedColumnShown);

} // namespace tabulix
