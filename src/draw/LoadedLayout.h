#pragma once

#include "draw/DisplayText.h"
#include "table/WidthRule.h"

namespace tabulix {

struct Table;

// How the window lays out a table it has just loaded, apart from its own
// controls: the fixed column, the header rows, the column widths, the row
// heights and, when shown, the break shades. One value, so that a table laid
// out ahead (the file the program starts with, while the window waits) can
// be told from one the window would lay out otherwise now.
struct LoadedLayout {
    int fixedColumnItem = 0; // as remembered; none when the table is narrower
    int fixedWidthItem = 0;  // the fixed column's width item
    int fixedRowsItem = -1;  // the header-row item; none chosen leaves them
    WidthRule widths;
    DisplayOptions display;
    int charHeight = 0;
    bool operator==(const LoadedLayout&) const = default;
};

// Every column's width by its longest text (and with `shades` the break
// shades, from the same read of the rows, on both cores), then the row
// heights, looking only where a text may fold; the row-number column grows
// for ten million rows and more.
void LayOutWidthsAndHeights(Table& table, const WidthRule& rule, const DisplayOptions& display,
                            int charHeight, bool shades = false);

// Everything the layout gives the table.
void LayOutLoadedTable(Table& table, const LoadedLayout& layout);

} // namespace tabulix
