#pragma once

namespace tabulix {

struct Table;

// Recomputes the break-shade bits of column `col` (every data column when
// col < 0) from row `fromRow` down: the shade flips at each change of value
// from the row above and is off for empty cells, so runs of equal values
// share one shade. Columns beyond the shade bits are skipped.
void RecomputeBreakShades(Table& table, int col, int fromRow);

} // namespace tabulix
