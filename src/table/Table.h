#pragma once

#include "table/StringGrid.h"
#include "table/TableRecords.h"

#include <vector>

namespace tabulix {

// The table the user edits: the grid `Grid` with its row and column records.
// Row 0 holds the column numbers, column 0 the row numbers and column 1 the
// fixed-column display; data start at (2, 1).
struct Table {
    StringGrid grid{3, 2};
    std::vector<RowRecord> rowRecords;
    ShadeBits shades;
    std::vector<ColumnRecord> colRecords;
    int markedColCount = 0;
};

inline constexpr int kFirstDataCol = 2;
inline constexpr int kFixedColCount = 2;

} // namespace tabulix
