#include "draw/ColumnWidths.h"

#include "table/StringGrid.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tabulix {

namespace {

int saturatedInt(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

// The longest display text of every column from the fixed column on, in
// display units.
std::vector<int> longestDisplayTexts(const StringGrid& grid, const DisplayOptions& options) {
    const int cols = grid.colCount();
    std::vector<int> longest(static_cast<std::size_t>(cols), 0);
    std::string scratch;
    std::vector<std::string_view> cells;
    // Row by row: each row's texts lie together in memory; the empty cells
    // past a row's last text are not looked at.
    for (int r = 0; r < grid.rowCount(); ++r) {
        grid.rowCells(r, cells);
        const int stored = std::min(cols, static_cast<int>(cells.size()));
        for (int c = 1; c < stored; ++c) { // column 1 is the fixed column
            const std::string_view text = cells[c];
            // A text never has more display units than bytes; the date
            // editing adds two slashes to a text of 6 to 24 bytes. Lengths
            // saturate: a cell of gigabytes is simply at the limit.
            const bool datable = options.dateEdit && text.size() >= 6 && text.size() <= 24;
            if (text.size() + (datable ? 2 : 0) <= static_cast<std::size_t>(longest[c])) continue;
            const std::string_view shown =
                options.dateEdit || options.trimSpace ? DisplayTextView(text, options, scratch)
                                                      : text;
            longest[c] = std::max(longest[c], saturatedInt(cellDisplayUnits(shown)));
        }
    }
    return longest;
}

void takeWidths(const StringGrid& grid, std::vector<ColumnRecord>& records) {
    records.resize(static_cast<std::size_t>(grid.colCount()));
    for (int c = 0; c < grid.colCount(); ++c)
        records[c].width = grid.colWidth(c);
}

} // namespace

std::vector<int> ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                     const WidthRule& rule, const DisplayOptions& options) {
    StringGrid::Batch batch(grid);
    const int cols = grid.colCount();
    const int minimum = static_cast<int>(5 * rule.charWidth);
    std::vector<int> longest = rule.noSeparator ? std::vector<int>(static_cast<std::size_t>(cols))
                                                : longestDisplayTexts(grid, options);
    for (int c = kFirstDataCol; c < cols; ++c) {
        grid.setColWidth(c, minimum);
        GrowColumnForContent(grid, c, longest[c], rule);
    }
    takeWidths(grid, records);
    if (rule.noSeparator) return {};
    longest[0] = -1; // the row numbers are not measured
    return longest;
}

void GrowColumnsForDisplayText(StringGrid& grid, std::vector<ColumnRecord>& records,
                               const WidthRule& rule, const DisplayOptions& options) {
    if (rule.noSeparator) return; // every column is as wide as it gets already
    StringGrid::Batch batch(grid);
    const std::vector<int> longest = longestDisplayTexts(grid, options);
    for (int c = kFirstDataCol; c < grid.colCount(); ++c)
        if (grid.colWidth(c) > 0) GrowColumnForContent(grid, c, longest[c], rule);
    takeWidths(grid, records);
}

} // namespace tabulix
