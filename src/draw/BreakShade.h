#pragma once

#include <functional>

namespace tabulix {

struct Table;

// Recomputes the break-shade bits of column `col` (every data column when
// col < 0) from row `fromRow` down: the shade flips at each change of value
// from the row above and is off for empty cells, so runs of equal values
// share one shade. Columns beyond the shade bits are skipped.
void RecomputeBreakShades(Table& table, int col, int fromRow);

// The shades of the whole table recomputed on a second thread while `work`
// runs on this one, as after a load. The shades only read cells and write the
// row records, so `work` may do anything else but change the cells, the rows
// or the row records (column widths and row heights are fine).
void RecomputeBreakShadesAlongside(Table& table, const std::function<void()>& work);

} // namespace tabulix
