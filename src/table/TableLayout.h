#pragma once

#include <span>
#include <string>

namespace tabulix {

class StringGrid;
struct Table;

// How rows are numbered: with `fromFixedRows` every grid row r >= 1 shows r;
// otherwise r - headerRows, and rows that come out at 0 or below show nothing.
struct RowNumbering {
    bool fromFixedRows = false;
    int headerRows = 0;
    bool operator==(const RowNumbering&) const = default;
};

// Sizes a reset needs from the view: the width of "A" in the grid font and the
// default row height.
struct ResetMetrics {
    double charWidth = 7.0;
    int defaultRowHeight = 21;
    int widthLimit = 25; // in "A" widths, see WidthRule.h
    bool noSeparator = false;
    bool operator==(const ResetMetrics&) const = default;
};

// Column 0 of every row below row 0 shows its number by `numbering`.
void RenumberRows(StringGrid& grid, const RowNumbering& numbering);
// Rewrites row 0 of every data column with its number (first data column "1").
void RenumberColumns(StringGrid& grid);

// Fixed rows := min(row count - 1, item + 1) for the chosen header-row item.
void ApplyFixedRows(StringGrid& grid, int headerRowItem);

// Grows the column count to `needed` (never shrinks): new columns get empty
// fixed cells, their numbers in row 0 and fresh column records.
void GrowColumns(Table& table, int needed);

// Makes `fields` row `row`: the column count grows to hold them (new columns
// get empty fixed cells and their numbers), columns 0 and 1 keep their texts,
// cells beyond the fields become empty. Row and column records follow.
void PutFieldsIntoRow(Table& table, int row, std::span<const std::string> fields);

// Empties the table and sets the start layout: one data row and column unless
// a positive size is given. Creates fresh row and column records.
void ResetTable(Table& table, int columns, int rows, const ResetMetrics& metrics);

// Fresh records for every row and column (unmarked, visible, current widths).
void ResetRecords(Table& table);

} // namespace tabulix
