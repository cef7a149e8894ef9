#include "draw/LoadedLayout.h"

#include "draw/BreakShade.h"
#include "draw/ColumnWidths.h"
#include "draw/RowHeights.h"
#include "table/FixedColumn.h"
#include "table/RowPieces.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "text/TextHelpers.h"

#include <optional>
#include <vector>

namespace tabulix {

void LayOutWidthsAndHeights(Table& table, const WidthRule& rule, const DisplayOptions& display,
                            int charHeight, bool shades) {
    StringGrid& grid = table.grid;
    // Row numbers of ten million and more are longer than the nine units the
    // number column is laid out for; the last row carries the longest.
    const int numberWidth = ColumnWidthForUnits(
        static_cast<int>(cellDisplayUnits(grid.cell(0, grid.rowCount() - 1))), rule.charWidth);
    if (numberWidth > grid.colWidth(0)) grid.setColWidth(0, numberWidth);

    // One read of every row serves the widths and the shades; each piece of
    // rows is measured on its own and the measures joined after.
    const RowPieces pieces{0, grid.rowCount()};
    const bool measure = !rule.noSeparator;
    std::vector<LongestTexts> longest(measure ? pieces.count() : 0,
                                      LongestTexts(grid.colCount(), display));
    std::optional<PieceShades> shading;
    if (shades) shading.emplace(table, pieces);
    if (measure || shading)
        ReadRowsInPieces(grid, pieces,
                         [&](std::size_t piece, int row, std::span<const std::string_view> cells,
                             std::span<const std::string_view> above) {
                             if (measure) longest[piece].see(cells);
                             if (shading) shading->see(piece, row, cells, above);
                         });
    if (shading) shading->join();
    LongestTexts all(grid.colCount(), display);
    for (const LongestTexts& piece : longest)
        all.take(piece);
    const std::vector<int> units = SetColumnWidths(grid, table.colRecords, rule, all.units());
    // The widths just read every text: the heights need look only at the
    // columns whose longest text does not fit.
    ComputeRowHeights(grid, display, rule.charWidth, charHeight, units);
}

void LayOutLoadedTable(Table& table, const LoadedLayout& layout) {
    StringGrid& grid = table.grid;
    // The fixed column first: its texts and width take part in the row
    // heights.
    const int fixedColumn = FixedColumnItemFor(grid, layout.fixedColumnItem);
    SetUpFixedColumn(grid, fixedColumn, layout.fixedWidthItem, layout.widths.charWidth);
    FillFixedColumn(grid, fixedColumn);
    // The header rows next, so that the shades start at the first data row.
    if (layout.fixedRowsItem >= 0) ApplyFixedRows(grid, layout.fixedRowsItem);
    LayOutWidthsAndHeights(table, layout.widths, layout.display, layout.charHeight,
                           layout.display.breakColor);
}

} // namespace tabulix
