#pragma once

#include "csv/Separators.h"
#include "table/TableLayout.h"

#include <cstddef>
#include <functional>
#include <string_view>

namespace tabulix {

struct Table;

// Told before record `done` (1-based) of `total` is filled, at every 1000th
// record starting with the first.
using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;

// Replaces the table with the records of `text`: one grid row per record with
// its row number, the column count the widest record's field count plus the
// fixed columns. No text gives one empty data row and column. Row and column
// records are made afresh; widths, heights and shades are left to the caller.
// Returns the number of records.
std::size_t FillTable(Table& table, std::string_view text, Separator sep,
                      const ResetMetrics& metrics, const LoadProgress& progress);

// What the fixed columns of the loaded rows will show once the view lays
// them out after the load. Filled in at once, so that the layout changes no
// row: a changed row would leave its loaded copy behind as dead memory.
struct LoadedRowLayout {
    RowNumbering numbering; // column 0, as RenumberRows (header rows clamped)
    int fixedColumn = 0;    // column 1, as FillFixedColumn for this item
};
std::size_t FillTable(Table& table, std::string_view text, Separator sep,
                      const ResetMetrics& metrics, const LoadProgress& progress,
                      const LoadedRowLayout& layout);

} // namespace tabulix
