#include "table/ColumnWidths.h"

#include "table/StringGrid.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>

namespace tabulix {

int WidthLimitOfItem(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= kWidthLimitItemCount) itemIndex = kWidthLimitFallbackItem;
    return 4 + 2 * itemIndex + 1;
}

namespace {

int wantedWidth(int length, const WidthRule& rule) {
    double units = rule.noSeparator ? 80.0 : length + 1.5;
    if (!rule.noSeparator) units = std::min(units, static_cast<double>(rule.limit));
    return static_cast<int>(units * rule.charWidth);
}

} // namespace

void GrowColumnForContent(StringGrid& grid, int col, int length, const WidthRule& rule) {
    const int wanted = wantedWidth(length, rule);
    if (wanted > grid.colWidth(col)) grid.setColWidth(col, wanted);
}

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
                // A text never has more display units than bytes.
                if (static_cast<int>(text.size()) > longest[c])
                    longest[c] = std::max(longest[c], static_cast<int>(cellDisplayUnits(text)));
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
