#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>

namespace tabulix {

class StringGrid;

// Rows from..to-1 cut into pieces of `pieceRows` rows, the last one shorter.
struct RowPieces {
    int from = 0;
    int to = 0;
    int pieceRows = 1 << 16;
    std::size_t count() const;
    int begin(std::size_t piece) const;
    int end(std::size_t piece) const;
};

// What a read in pieces shows of each row: its piece, its number, its cells
// and those of the row above (none above row 0).
using SeeRow =
    std::function<void(std::size_t piece, int row, std::span<const std::string_view> cells,
                       std::span<const std::string_view> above)>;

// Every row of the pieces read once, the pieces on both cores at once; a
// piece's rows are shown in order, on one thread. Whatever `see` throws ends
// the read and is thrown again here once both threads have stopped.
void ReadRowsInPieces(const StringGrid& grid, const RowPieces& pieces, const SeeRow& see);

} // namespace tabulix
