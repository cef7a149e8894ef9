#include "table/FixedColumn.h"

#include "table/StringGrid.h"
#include "table/Table.h"
#include "table/WidthRule.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

namespace tabulix {

std::vector<std::string> FixedColumnItems(const StringGrid& grid) {
    std::vector<std::string> items{" 無し"};
    for (int c = kFirstDataCol; c < grid.colCount(); ++c) {
        std::string item(" ");
        const std::string_view name = TrimBlanks(grid.cell(c, 1));
        item.append(std::to_string(c - 1)).append(". ").append(headUnits(name, kLongestItemName));
        items.push_back(std::move(item));
    }
    return items;
}

int FixedColumnItemFor(const StringGrid& grid, int remembered) {
    return remembered >= 0 && remembered <= grid.colCount() - kFirstDataCol ? remembered : 0;
}

void SetUpFixedColumn(StringGrid& grid, int k, int widthItem, double charWidth) {
    grid.setCell(0, 0, "No.");
    if (k > 0) {
        grid.setCell(1, 0, "固定列");
        grid.setCell(1, 1, std::string(grid.cell(k + 1, 1)));
        grid.setColWidth(1, ColumnWidthForUnits(widthItem, charWidth));
    } else {
        grid.setCell(1, 0, {});
        grid.setCell(1, 1, {});
        grid.setColWidth(1, static_cast<int>(charWidth));
    }
}

void FillFixedColumn(StringGrid& grid, int k) {
    StringGrid::Batch batch(grid);
    const int col = k + 1;
    const bool exists = k > 0 && col < grid.colCount();
    std::string text;
    for (int r = 1; r < grid.rowCount(); ++r) {
        if (!exists) {
            grid.setCell(1, r, {});
            continue;
        }
        FixedColumnText(grid.cell(col, r), text);
        grid.setCell(1, r, text);
    }
}

void FixedColumnText(std::string_view cell, std::string& out) {
    out.assign(1, ' ');
    out.append(TrimBlanks(cell));
}

} // namespace tabulix
