#include "table/WidthRule.h"

#include "table/StringGrid.h"

#include <algorithm>

namespace tabulix {

int WidthLimitOfItem(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= kWidthLimitItemCount) itemIndex = kWidthLimitFallbackItem;
    return 4 + 2 * itemIndex + 1;
}

int ColumnWidthForUnits(int units, double charWidth) {
    return units > 0 ? static_cast<int>(units * charWidth) + kCellTextMargin : 0;
}

int UnitsFittingWidth(int colWidth, double charWidth) {
    if (colWidth <= kCellTextMargin || charWidth <= 0) return 0;
    return static_cast<int>((colWidth - kCellTextMargin) / charWidth);
}

int WantedColumnWidth(int length, const WidthRule& rule) {
    double units = rule.noSeparator ? 80.0 : length + 1.5;
    if (!rule.noSeparator) units = std::min(units, static_cast<double>(rule.limit));
    return static_cast<int>(units * rule.charWidth);
}

void GrowColumnForContent(StringGrid& grid, int col, int length, const WidthRule& rule) {
    const int wanted = WantedColumnWidth(length, rule);
    if (wanted > grid.colWidth(col)) grid.setColWidth(col, wanted);
}

} // namespace tabulix
