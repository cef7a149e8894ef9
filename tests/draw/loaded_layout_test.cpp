#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "draw/LoadedLayout.h"
#include "draw/RowHeights.h"
#include "table/FixedColumn.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tabulix {
namespace {

// A table of more rows than one piece of the layout's read holds, with runs,
// blanks, dates, long texts and line breaks.
Table generatedTable() {
    constexpr int kRows = 70'000;
    Table t;
    ResetTable(t, 4, kRows, ResetMetrics{7.0, 21, 25, false});
    std::mt19937 random(11);
    for (int r = 1; r <= kRows; ++r) {
        t.grid.setCell(2, r, "k" + std::to_string(r / 9));
        t.grid.setCell(3, r, random() % 6 ? "20240315" : "");
        t.grid.setCell(4, r,
                       random() % 500 ? std::string(1 + random() % 9, 'x') : std::string(60, 'y'));
        if (random() % 3000 == 0) t.grid.setCell(5, r, "a\nb\nc");
    }
    t.grid.setCell(2, 1, " name ");
    t.grid.setCell(4, kRows - 10, std::string(80, 'z')); // the longest, in the last piece
    return t;
}

struct Result {
    std::vector<int> widths, recordWidths, heights;
    std::vector<std::string> fixedColumn;
    std::vector<bool> shades;
    int fixedRows;
    bool operator==(const Result&) const = default;
};

Result resultOf(const Table& t) {
    Result out{{}, {}, {}, {}, {}, t.grid.fixedRows()};
    for (int c = 0; c < t.grid.colCount(); ++c) {
        out.widths.push_back(t.grid.colWidth(c));
        out.recordWidths.push_back(t.colRecords[c].width);
    }
    for (int r = 0; r < t.grid.rowCount(); ++r) {
        out.heights.push_back(t.grid.rowHeight(r));
        out.fixedColumn.emplace_back(t.grid.cell(1, r));
        for (int c = 0; c < t.grid.colCount(); ++c)
            out.shades.push_back(t.shades.test(r, c));
    }
    return out;
}

// The layout one step after another, one read of the rows for each.
void layOutStepByStep(Table& t, const LoadedLayout& layout) {
    const int k = FixedColumnItemFor(t.grid, layout.fixedColumnItem);
    SetUpFixedColumn(t.grid, k, layout.fixedWidthItem, layout.widths.charWidth);
    FillFixedColumn(t.grid, k);
    if (layout.fixedRowsItem >= 0) ApplyFixedRows(t.grid, layout.fixedRowsItem);
    const std::vector<int> longest =
        ComputeColumnWidths(t.grid, t.colRecords, layout.widths, layout.display);
    ComputeRowHeights(t.grid, layout.display, layout.widths.charWidth, layout.charHeight, longest);
    if (layout.display.breakColor) RecomputeBreakShades(t, -1, 0);
}

// One read of the rows in pieces on both cores gives what the steps give,
// whatever the layout.
TEST(LoadedLayout, OneReadInPiecesLaysOutAsTheStepsDo) {
    const Table table = generatedTable();
    for (int variant = 0; variant < 6; ++variant) {
        LoadedLayout layout;
        layout.fixedColumnItem = variant % 3 == 0 ? 1 : variant % 3 == 1 ? 0 : 99;
        layout.fixedWidthItem = 8;
        layout.fixedRowsItem = variant % 2 ? 1 : -1;
        layout.widths = WidthRule{7.0, variant == 2 ? 6 : variant == 0 ? 90 : 40, variant == 5};
        layout.display.dateEdit = variant == 1 || variant == 4;
        layout.display.trimSpace = variant == 3;
        layout.display.breakColor = variant != 4;
        layout.display.foldItem = variant == 3 ? 2 : kFoldAuto;
        layout.charHeight = 15;
        Table stepped = table;
        layOutStepByStep(stepped, layout);
        Table laid = table;
        LayOutLoadedTable(laid, layout);
        EXPECT_TRUE(resultOf(laid) == resultOf(stepped)) << "variant " << variant;
    }
}

} // namespace
} // namespace tabulix
