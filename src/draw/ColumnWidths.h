#pragma once

#include "draw/DisplayText.h"
#include "table/WidthRule.h"

#include <vector>

namespace tabulix {

class StringGrid;
struct ColumnRecord;

// Every data column gets 5 "A" widths, then grows to its longest cell (fixed
// rows included) as the cell shows it: with date editing on, "20240315"
// counts as the ten units of "2024/03/15". The column records take the new
// widths. One pass over the cells. Returns what the pass measured for the row
// heights: per column its longest display text in units (the fixed column's
// too), -1 for the row numbers; empty when nothing was measured (no
// separator).
std::vector<int> ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                     const WidthRule& rule, const DisplayOptions& options = {});

// Grows the data columns (never narrows them) to the longest display text of
// their cells: after the display text got longer (date editing turned on).
void GrowColumnsForDisplayText(StringGrid& grid, std::vector<ColumnRecord>& records,
                               const WidthRule& rule, const DisplayOptions& options);

} // namespace tabulix
