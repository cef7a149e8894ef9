#include "draw/ColumnWidths.h"

#include "table/StringGrid.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <limits>

namespace tabulix {

namespace {

int saturatedInt(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

} // namespace

void ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                         const WidthRule& rule) {
    StringGrid::Batch batch(grid);
    const int cols = grid.colCount();
    const int minimum = static_cast<int>(5 * rule.charWidth);
    std::vector<int> longest(static_cast<std::size_t>(cols), 0);
    if (!rule.noSeparator) {
        // Row by row: each row's texts lie together in memory.
        for (int r = 0; r < grid.rowCount(); ++r)
            for (int c = kFirstDataCol; c < cols; ++c) {
                const std::string_view text = grid.cell(c, r);
                // A text never has more display units than bytes. Lengths
                // saturate: a cell of gigabytes is simply at the limit.
                if (text.size() > static_cast<std::size_t>(longest[c]))
                    longest[c] = std::max(longest[c], saturatedInt(cellDisplayUnits(text)));
            }
    }
    for (int c = kFirstDataCol; c < cols; ++c) {
        grid.setColWidth(c, minimum);
        GrowColumnForContent(grid, c, longest[c], rule);
    }
    records.resize(static_cast<std::size_t>(cols));
    for (int c = 0; c < cols; ++c)
        records[c].width = grid.colWidth(c);
}

} // namespace tabulix
