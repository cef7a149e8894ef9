#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class QCollator;

namespace tabulix {

class StringGrid;
struct Table;

// Told before item i of a step ("Step 1", "Last Step" ...) of `total` items,
// at the step's progress points; false asks the sort to stop.
using SortProgress = std::function<bool(std::string_view step, long long i, long long total)>;

// Items between two progress points of the row sort.
inline constexpr int kSortProgressInterval = 1000;

// The collation of the user's locale that ignores letter case; Japanese
// where the locale is C or POSIX.
QCollator SortCollator();

// The order of the data rows sorted ascending by the key columns (in
// priority order), each key trimmed and compared by SortCollator; rows with
// equal keys keep their former order. Entry j is the former grid row of the
// row that goes to grid row fixedRows + j. Nothing when the progress asked
// to stop. The grid is only read.
std::optional<std::vector<int>> SortedRowOrder(const StringGrid& grid, std::span<const int> keyCols,
                                               const SortProgress& progress);

// Rewrites the data rows in `order` (from SortedRowOrder): whole rows with
// their heights and row records travel; the row numbers follow the grid's
// numbering. Runs to its end once started.
void ApplyRowOrder(Table& table, std::span<const int> order);

// Moves the key columns, in key order, to the front of the data columns with
// their widths and column records; the other data columns keep their order
// behind them. The column-number row is rewritten.
void MoveKeyColumns(Table& table, std::span<const int> keyCols, const SortProgress& progress);

} // namespace tabulix
