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

std::vector<int> longestDisplayTexts(const StringGrid& grid, const DisplayOptions& options) {
    LongestTexts longest(grid.colCount(), options);
    std::vector<std::string_view> cells;
    // Row by row: each row's texts lie together in memory; the empty cells
    // past a row's last text are not looked at.
    for (int r = 0; r < grid.rowCount(); ++r) {
        grid.rowCells(r, cells);
        longest.see(cells);
    }
    return longest.units();
}

void takeWidths(const StringGrid& grid, std::vector<ColumnRecord>& records) {
    records.resize(static_cast<std::size_t>(grid.colCount()));
    for (int c = 0; c < grid.colCount(); ++c)
        records[c].width = grid.colWidth(c);
}

} // namespace

LongestTexts::LongestTexts(int cols, const DisplayOptions& options)
    : options_(options), units_(static_cast<std::size_t>(std::max(cols, 0)), 0) {}

void LongestTexts::see(std::span<const std::string_view> cells) {
    const std::size_t stored = std::min(units_.size(), cells.size());
    for (std::size_t c = 1; c < stored; ++c) { // column 1 is the fixed column
        const std::string_view text = cells[c];
        int& longest = units_[c];
        // A text never has more display units than bytes; the date editing
        // adds two slashes to a text of 6 to 24 bytes. Lengths saturate: a
        // cell of gigabytes is simply at the limit.
        const bool datable = options_.dateEdit && text.size() >= 6 && text.size() <= 24;
        if (text.size() + (datable ? 2 : 0) <= static_cast<std::size_t>(longest)) continue;
        const std::string_view shown = options_.dateEdit || options_.trimSpace
                                           ? DisplayTextView(text, options_, scratch_)
                                           : text;
        longest = std::max(longest, saturatedInt(cellDisplayUnits(shown)));
    }
}

void LongestTexts::take(const LongestTexts& other) {
    for (std::size_t c = 0; c < units_.size() && c < other.units_.size(); ++c)
        units_[c] = std::max(units_[c], other.units_[c]);
}

std::vector<int> SetColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                 const WidthRule& rule, std::vector<int> longest) {
    StringGrid::Batch batch(grid);
    const int cols = grid.colCount();
    const int minimum = static_cast<int>(5 * rule.charWidth);
    longest.resize(static_cast<std::size_t>(cols));
    if (rule.noSeparator) std::fill(longest.begin(), longest.end(), 0);
    for (int c = kFirstDataCol; c < cols; ++c) {
        grid.setColWidth(c, minimum);
        GrowColumnForContent(grid, c, longest[c], rule);
    }
    takeWidths(grid, records);
    if (rule.noSeparator) return {};
    longest[0] = -1; // the row numbers are not measured
    return longest;
}

std::vector<int> ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                     const WidthRule& rule, const DisplayOptions& options) {
    return SetColumnWidths(grid, records, rule,
                           rule.noSeparator ? std::vector<int>{} : longestDisplayTexts(grid, options));
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
