#include "draw/BreakShade.h"

#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace tabulix {

namespace {

bool shadeOf(const RowRecord& record, int col) {
    return TestBit(record.shade, col);
}
void setShade(RowRecord& record, int col, bool on) {
    SetBit(record.shade, col, on);
}

} // namespace

void RecomputeBreakShades(Table& table, int col, int fromRow) {
    const StringGrid& grid = table.grid;
    auto& records = table.rowRecords;
    const int rows = std::min(grid.rowCount(), static_cast<int>(records.size()));
    const int firstCol = col < 0 ? kFirstDataCol : col;
    const int lastCol = std::min(col < 0 ? grid.colCount() - 1 : col, kShadeColumns - 1);
    if (firstCol > lastCol) return;

    const int startRow = fromRow > 1 ? fromRow - 1 : grid.fixedRows();
    if (startRow >= rows) return;
    // Row by row with one running value per column: each row's texts lie
    // together in memory.
    std::vector<char> value(static_cast<std::size_t>(lastCol + 1), 1);
    for (int c = firstCol; c <= lastCol; ++c) {
        if (fromRow > 1) value[c] = shadeOf(records[startRow], c);
        setShade(records[startRow], c, value[c]);
    }
    for (int r = startRow + 1; r < rows; ++r) {
        for (int c = firstCol; c <= lastCol; ++c) {
            const std::string_view text = grid.cell(c, r);
            if (TrimBlanks(text).empty())
                value[c] = 0;
            else if (text != grid.cell(c, r - 1))
                value[c] = !value[c];
            setShade(records[r], c, value[c]);
        }
    }
}

void RecomputeBreakShadesAlongside(Table& table, const std::function<void()>& work) {
    std::jthread shades; // joined however `work` ends
    try {
        shades = std::jthread([&table] { RecomputeBreakShades(table, -1, 0); });
    } catch (const std::system_error&) {
        RecomputeBreakShades(table, -1, 0); // no thread to be had: one after the other
    }
    work();
}

} // namespace tabulix
