#include "table/RowHeights.h"

#include "table/DisplayText.h"
#include "table/StringGrid.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

namespace {

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

// The most units that still fit on one line of the column, found with the
// same arithmetic as FoldedLineCount so the shortcut never disagrees with it.
std::size_t oneLineCapacity(int colWidth, double charWidth) {
    if (colWidth <= 0 || charWidth <= 0) return kUnlimited;
    auto fits = [&](std::size_t units) { return FoldedLineCount(units, colWidth, charWidth) == 1; };
    auto units = static_cast<std::size_t>(colWidth / charWidth);
    while (units > 0 && !fits(units))
        --units;
    while (fits(units + 1))
        ++units;
    return units;
}

// Display units never exceed bytes; only the date editing adds two slashes to
// a text of 6 to 24 bytes.
std::size_t unitBound(std::size_t bytes, bool dateEdit) {
    return dateEdit && bytes >= 6 && bytes <= 24 ? bytes + 2 : bytes;
}

class RowFolder {
public:
    RowFolder(const StringGrid& grid, const DisplayOptions& options, double charWidth)
        : grid_(grid), options_(options), charWidth_(charWidth), cap_(FoldLineCap(options)) {
        capacity_.resize(static_cast<std::size_t>(grid.colCount()));
        for (int col = 0; col < grid.colCount(); ++col)
            capacity_[col] = oneLineCapacity(grid.colWidth(col), charWidth);
    }

    int linesOf(int row) {
        int lines = 1;
        for (int col = 0; col < grid_.colCount(); ++col) {
            const std::string_view text = grid_.cell(col, row);
            if (unitBound(text.size(), options_.dateEdit) <= capacity_[col]) continue;
            const std::size_t units = cellDisplayUnits(DisplayTextView(text, options_, scratch_));
            lines = std::max(lines, FoldedLineCount(units, grid_.colWidth(col), charWidth_));
            if (cap_ > 0 && lines >= cap_) return cap_;
        }
        return lines;
    }

private:
    const StringGrid& grid_;
    const DisplayOptions& options_;
    double charWidth_;
    int cap_;
    std::vector<std::size_t> capacity_;
    std::string scratch_;
};

} // namespace

int FoldedLineCount(std::size_t units, int colWidth, double charWidth) {
    const double textWidth = static_cast<double>(units) * charWidth;
    if (colWidth <= 0 || colWidth >= textWidth) return 1;
    const double lines = textWidth / colWidth + 1;
    return lines >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(lines);
}

int FoldedRowHeight(int lines, int charHeight) {
    // trunc(h (lines + 4) / 10 + lines h) with whole numbers: exact.
    const std::int64_t h = charHeight;
    const std::int64_t n = lines;
    const std::int64_t height = h * (n + 4) / 10 + n * h;
    return height >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                     : static_cast<int>(height);
}

void ComputeRowHeights(StringGrid& grid, const DisplayOptions& options, double charWidth,
                       int charHeight) {
    const int standard = grid.defaultRowHeight();
    if (!Folds(options)) {
        grid.setDefaultRowHeight(standard); // every row at once, one notice
        return;
    }
    RowFolder folder(grid, options, charWidth);
    for (int row = 0; row < grid.rowCount(); ++row) {
        const int lines = folder.linesOf(row);
        grid.setRowHeight(row, lines > 1 ? FoldedRowHeight(lines, charHeight) : standard);
    }
}

} // namespace tabulix
