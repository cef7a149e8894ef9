#pragma once

#include "table/WidthRule.h"

#include <vector>

namespace tabulix {

class StringGrid;
struct ColumnRecord;

// Every data column gets 5 "A" widths, then grows to its longest cell (fixed
// rows included). The column records take the new widths. One pass over the
// cells.
void ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                         const WidthRule& rule);

} // namespace tabulix
