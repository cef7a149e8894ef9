#include "table/TableLayout.h"

#include "table/WidthRule.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace tabulix {

std::string RowNumberText(long long n) {
    if (n <= 0) return {};
    return FormatThousands(std::to_string(n));
}

std::string RowNumberTextOfRow(int row, const RowNumbering& numbering) {
    const long long n = numbering.fromFixedRows ? row : row - numbering.headerRows;
    return RowNumberText(n);
}

void RenumberRows(StringGrid& grid, const RowNumbering& numbering) {
    StringGrid::Batch batch(grid);
    for (int r = 1; r < grid.rowCount(); ++r)
        grid.setCell(0, r, RowNumberTextOfRow(r, numbering));
}

void RenumberColumns(StringGrid& grid) {
    StringGrid::Batch batch(grid);
    for (int c = kFirstDataCol; c < grid.colCount(); ++c)
        grid.setCell(c, 0, std::to_string(c - 1));
}

void ApplyFixedRows(StringGrid& grid, int headerRowItem) {
    grid.setFixedRows(std::min(grid.rowCount() - 1, headerRowItem + 1));
}

void GrowColumns(Table& table, int needed) {
    StringGrid& grid = table.grid;
    const int oldCount = grid.colCount();
    if (needed <= oldCount) return;
    grid.setColCount(needed);
    for (int c = oldCount; c < needed; ++c) {
        for (int r = 0; r < grid.fixedRows(); ++r)
            grid.setCell(c, r, {});
        grid.setCell(c, 0, std::to_string(c - 1));
        table.colRecords.push_back(ColumnRecord{true, false, grid.colWidth(c), 0});
    }
    grid.setCell(kFirstDataCol, 0, "1");
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
    grid.setCell(0, 1, RowNumberText(1));
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
