#pragma once

#include "table/StringGrid.h"
#include "table/TableLayout.h"

#include <vector>

namespace tabulix {

struct EditSession;

// The four structural cores of the row and column commands, also used by
// undo. They keep the row and column records in step with the grid, move the
// cursor and the operation range, refresh numbers and set the modified flag.

// Inserts `count` empty rows before row `position`; returns where the first
// row of the operation range is now (position + 1 when there is none).
// Without `refresh` the caller fills the rows first and then refreshes the
// numbers itself (once, not twice).
int InsertRows(EditSession& s, int position, int count, bool refresh = true);

// Removes rows first .. first + count - 1. With `keep` the rows' texts are
// handed back whole (for the undo history) instead of being dropped.
std::vector<StringGrid::TakenRow> DeleteRows(EditSession& s, int first, int count, bool fromMove,
                                             bool keep);

// Inserts `count` empty columns before `position` (appends them after the
// last column when `atEnd`); without `adjust` the cursor, the operation range
// and the selection are left alone (a row import). Returns where the first
// column of the operation range is now (position + 1 when there is none).
int InsertColumns(EditSession& s, int position, int count, bool atEnd, bool adjust);

void DeleteColumns(EditSession& s, int first, int count, bool fromMove);

// The cell (remembered column, row) moved into the data area.
void SelectClipped(EditSession& s, int col, int row);

// The operation range becomes rows first .. last across all data columns
// (columns first .. last across all data rows) and the selection follows.
void SetRowRange(EditSession& s, int first, int last);
void SetColumnRange(EditSession& s, int first, int last);

} // namespace tabulix
