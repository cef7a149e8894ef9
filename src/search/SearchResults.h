#pragma once

#include <functional>
#include <optional>

namespace tabulix {

class StringGrid;
class WordMatcher;

// The results of a search over a source table, in two grids of the same
// shape. `results` shows the matching rows: column 0 their running number,
// column k + 1 the source's column k; its fixed rows are copies of the
// source's ("SEQ" heads the number column). `hits` holds, per result row,
// the source row in column 0 and "*" in every column whose cell held a word.

// Both grids emptied to one cell without fixed rows or columns.
void ClearResults(StringGrid& results, StringGrid& hits);

// Both grids laid out from the source with its fixed rows copied and one
// empty result row.
void LayoutResults(const StringGrid& source, StringGrid& results, StringGrid& hits);

// Called every 500 source rows with the row reached and the rows found so
// far; returning false ends the search there.
using SearchProgress = std::function<bool(int row, int found)>;

// Tests every data row of the source (it is read afresh for each row) and
// appends the matching ones to grids laid out by LayoutResults; returns the
// number found. The grids grow by doubling and are cut to size at the end,
// keeping one empty result row when nothing was found.
int RunSearch(const StringGrid& source, StringGrid& results, StringGrid& hits, WordMatcher& matcher,
              const SearchProgress& progress);

struct ResultCell {
    int col = -1;
    int row = -1;
    bool operator==(const ResultCell&) const = default;
};

// The next hit cell after (col, row) in reading order, or from the first
// data column of `row` on when `fromRowStart` (the current cell counts).
std::optional<ResultCell> NextHit(const StringGrid& hits, ResultCell from, bool fromRowStart);
// The previous hit cell before (col, row), going right to left, bottom up.
std::optional<ResultCell> PriorHit(const StringGrid& hits, ResultCell from);

// Where a result cell leads in the source: the row and column to make
// current and the first scrollable row and column to show.
struct JumpTarget {
    int row = 0;
    int topRow = 0;
    std::optional<int> col; // nothing when the column is beyond the source
    int leftCol = 0;
};

// Nothing when the cell is not a result cell or its source row no longer
// exists.
std::optional<JumpTarget> JumpTargetOf(const StringGrid& hits, const StringGrid& source,
                                       ResultCell cell);

} // namespace tabulix
