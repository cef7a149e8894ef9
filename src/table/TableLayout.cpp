#include "table/TableLayout.h"

#include "table/WidthRule.h"
#include "table/Table.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

void RenumberRows(StringGrid& grid, const RowNumbering& numbering) {
    grid.showRowNumbers(numbering.fromFixedRows ? 0 : numbering.headerRows);
}

namespace {

// Writes the numbers of data columns `from` .. colCount - 1 into row 0 in one
// row write: a cell write rebuilds its whole row, so writing the numbers one
// by one would cost the square of the column count.
void writeColumnNumbers(StringGrid& grid, int from) {
    from = std::max(from, kFirstDataCol);
    const int count = grid.colCount();
    if (from >= count) return;
    std::vector<std::string_view> cells(static_cast<std::size_t>(count));
    for (int c = 0; c < from; ++c)
        cells[c] = grid.cell(c, 0);
    // All numbers in one buffer, sized first so that the views stay valid.
    std::string digits;
    std::vector<std::size_t> ends;
    ends.reserve(static_cast<std::size_t>(count - from));
    for (int c = from; c < count; ++c) {
        digits += std::to_string(c - 1);
        ends.push_back(digits.size());
    }
    std::size_t begin = 0;
    for (int c = from; c < count; ++c) {
        const std::size_t end = ends[static_cast<std::size_t>(c - from)];
        cells[c] = std::string_view(digits).substr(begin, end - begin);
        begin = end;
    }
    grid.setRow(0, std::span<const std::string_view>(cells));
}

} // namespace

void RenumberColumns(StringGrid& grid) {
    writeColumnNumbers(grid, kFirstDataCol);
}

void ApplyFixedRows(StringGrid& grid, int headerRowItem) {
    grid.setFixedRows(std::min(grid.rowCount() - 1, headerRowItem + 1));
}

void GrowColumns(Table& table, int needed) {
    StringGrid& grid = table.grid;
    const int oldCount = grid.colCount();
    if (needed <= oldCount) return;
    // The new columns' cells are empty: no row stores more cells than the
    // column count, so the fixed rows need no clearing.
    grid.setColCount(needed);
    writeColumnNumbers(grid, oldCount);
    table.colRecords.reserve(static_cast<std::size_t>(needed));
    for (int c = oldCount; c < needed; ++c)
        table.colRecords.push_back(ColumnRecord{true, false, grid.colWidth(c), 0});
    grid.setCell(kFirstDataCol, 0, "1"); // no rebuild when it is there already
}

void PutFieldsIntoRow(Table& table, int row, std::span<const std::string> fields) {
    StringGrid& grid = table.grid;
    if (row < 0 || row >= grid.rowCount()) return;
    GrowColumns(table, static_cast<int>(fields.size()) + kFixedColCount);

    std::vector<std::string_view> cells;
    cells.reserve(fields.size() + kFixedColCount);
    const std::string rowNumber = grid.cellText(0, row);
    const std::string fixedCol = grid.cellText(1, row);
    cells.push_back(rowNumber);
    cells.push_back(fixedCol);
    for (const std::string& field : fields)
        cells.push_back(field);
    grid.setRow(row, cells);
}

void ResetRecords(Table& table) {
    const StringGrid& grid = table.grid;
    table.rowRecords.assign(static_cast<std::size_t>(grid.rowCount()), RowRecord{});
    table.shades.clear();
    table.colRecords.clear();
    table.colRecords.reserve(static_cast<std::size_t>(grid.colCount()));
    for (int c = 0; c < grid.colCount(); ++c)
        table.colRecords.push_back(ColumnRecord{true, false, grid.colWidth(c), 0});
    table.markedColCount = 0;
}

void ResetTable(Table& table, int columns, int rows, const ResetMetrics& metrics) {
    StringGrid& grid = table.grid;
    StringGrid::Batch batch(grid);
    grid.clearCells();
    for (int c = 0; c < grid.colCount(); ++c)
        grid.setColWidth(c, 0);

    grid.setRowCount(rows > 0 ? rows + 1 : 2);
    grid.setColCount(columns > 0 ? columns + kFixedColCount : 3);
    grid.setFixedRows(1);
    grid.setFixedCols(kFixedColCount);

    grid.setCell(0, 0, "No.");
    grid.setCell(1, 1, {});
    grid.showRowNumbers(0);
    grid.setCell(kFirstDataCol, 0, "1");

    const double wA = metrics.charWidth;
    grid.setDefaultRowHeight(metrics.defaultRowHeight);
    grid.setDefaultColWidth(static_cast<int>(12 * wA));
    // Row numbers up to 9,999,999 ("9,999,999" is nine units).
    grid.setColWidth(0, ColumnWidthForUnits(9, wA));
    // The fixed-column display starts without a chosen column.
    grid.setColWidth(1, static_cast<int>(wA));

    if (columns <= 0 && rows <= 0) {
        grid.setColWidth(kFirstDataCol, grid.defaultColWidth());
        GrowColumnForContent(grid, kFirstDataCol, 12,
                             WidthRule{wA, metrics.widthLimit, metrics.noSeparator});
    }
    ResetRecords(table);
}

} // namespace tabulix
