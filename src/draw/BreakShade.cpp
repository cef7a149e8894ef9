#include "draw/BreakShade.h"

#include "table/Table.h"
#include "text/RunAlongside.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <vector>

namespace tabulix {

void RecomputeBreakShades(Table& table, int col, int fromRow) {
    const StringGrid& grid = table.grid;
    const int rows = std::min(grid.rowCount(), static_cast<int>(table.rowRecords.size()));
    const int firstCol = col < 0 ? kFirstDataCol : col;
    const int lastCol = std::min(col < 0 ? grid.colCount() - 1 : col, kShadeColumns - 1);
    if (firstCol > lastCol) return;

    const int startRow = fromRow > 1 ? fromRow - 1 : grid.fixedRows();
    if (startRow >= rows) return;
    ShadeBits& shades = table.shades;
    shades.fit(rows, lastCol + 1);
    const auto stride = static_cast<std::size_t>(shades.stride());
    // Row by row with the running values kept as the row's shade bits: each
    // row's texts are read once, beside the previous row's.
    std::vector<std::uint8_t> inPass(stride);
    for (int c = firstCol; c <= lastCol; ++c)
        inPass[static_cast<std::size_t>(c / 8)] |= static_cast<std::uint8_t>(128 >> (c % 8));
    std::uint8_t* first = shades.row(startRow);
    if (fromRow <= 1)
        for (std::size_t i = 0; i < stride; ++i)
            first[i] |= inPass[i];
    std::vector<std::uint8_t> bits(first, first + stride);
    std::vector<std::string_view> previous;
    std::vector<std::string_view> current;
    grid.rowCells(startRow, previous);
    const auto cellIn = [](const std::vector<std::string_view>& cells, int c) {
        return static_cast<std::size_t>(c) < cells.size() ? cells[c] : std::string_view{};
    };
    for (int r = startRow + 1; r < rows; ++r) {
        grid.rowCells(r, current);
        for (int c = firstCol; c <= lastCol; ++c) {
            const std::string_view text = cellIn(current, c);
            const auto mask = static_cast<std::uint8_t>(128 >> (c % 8));
            std::uint8_t& byte = bits[static_cast<std::size_t>(c / 8)];
            // Blanks only: an empty value, which ends a run.
            if (TrimBlanks(text).empty())
                byte = static_cast<std::uint8_t>(byte & ~mask);
            else if (text != cellIn(previous, c))
                byte ^= mask;
        }
        // Columns outside the pass keep the row's own bits.
        std::uint8_t* shade = shades.row(r);
        for (std::size_t i = 0; i < stride; ++i)
            shade[i] = static_cast<std::uint8_t>((shade[i] & ~inPass[i]) | (bits[i] & inPass[i]));
        std::swap(previous, current);
    }
}

void RecomputeBreakShadesAlongside(Table& table, const std::function<void()>& work) {
    RunAlongside(2, [&](std::size_t k) {
        if (k == 0)
            work();
        else
            RecomputeBreakShades(table, -1, 0);
    });
}

} // namespace tabulix
