#pragma once

#include "draw/DisplayText.h"
#include "table/WidthRule.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class StringGrid;
struct ColumnRecord;

// The longest display text of every column from the fixed column on, in
// display units, as its rows are shown one by one (the row numbers in column
// 0 are not measured).
class LongestTexts {
public:
    LongestTexts(int cols, const DisplayOptions& options);
    void see(std::span<const std::string_view> cells);
    // Takes in what another measure of other rows found.
    void take(const LongestTexts& other);
    const std::vector<int>& units() const { return units_; }

private:
    DisplayOptions options_;
    std::vector<int> units_;
    std::string scratch_;
};

// The widths the rule gives the data columns for their longest texts, as
// ComputeColumnWidths sets them; returns the measure for the row heights.
std::vector<int> SetColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                 const WidthRule& rule, std::vector<int> longest);

// Every data column gets 5 "A" widths, then grows to its longest cell (fixed
// rows included) as the cell shows it: with date editing on, "20240315"
// counts as the ten units of "2024/03/15". The column records take the new
// widths. One pass over the cells. Returns what the pass measured for the row
// heights: per column its longest display text in units (the fixed column's
// too), -1 for the row numbers; empty when nothing was measured (no
// separator).
std::vector<int> ComputeColumnWidths(StringGrid& grid, std::vector<ColumnRecord>& records,
                                     const WidthRule& rule, const DisplayOptions& options = {});

// Grows the data columns (never narrows them) to the longest display text of
// their cells: after the display text got longer (date editing turned on).
void GrowColumnsForDisplayText(StringGrid& grid, std::vector<ColumnRecord>& records,
                               const WidthRule& rule, const DisplayOptions& options);

} // namespace tabulix
