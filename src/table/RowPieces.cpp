#include "table/RowPieces.h"

#include "table/StringGrid.h"
#include "text/RunAlongside.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <utility>
#include <vector>

namespace tabulix {

std::size_t RowPieces::count() const {
    if (to <= from) return 0;
    return (static_cast<std::size_t>(to - from) + pieceRows - 1) /
           static_cast<std::size_t>(pieceRows);
}

int RowPieces::begin(std::size_t piece) const {
    return from + static_cast<int>(piece) * pieceRows;
}

int RowPieces::end(std::size_t piece) const {
    return static_cast<int>(
        std::min<long long>(to, static_cast<long long>(begin(piece)) + pieceRows));
}

void ReadRowsInPieces(const StringGrid& grid, const RowPieces& pieces, const SeeRow& see) {
    const std::size_t count = pieces.count();
    if (count == 0) return;
    std::atomic<std::size_t> next{0};
    std::exception_ptr failures[2];
    RunAlongside(std::min<std::size_t>(count, 2), [&](std::size_t lane) {
        try {
            std::vector<std::string_view> above;
            std::vector<std::string_view> cells;
            for (std::size_t i; (i = next.fetch_add(1)) < count;) {
                grid.rowCells(pieces.begin(i) - 1, above);
                for (int r = pieces.begin(i); r < pieces.end(i); ++r) {
                    grid.rowCells(r, cells);
                    see(i, r, cells, above);
                    std::swap(above, cells);
                }
            }
        } catch (...) {
            failures[lane] = std::current_exception();
            next.store(count); // the other lane stops at its next piece
        }
    });
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

} // namespace tabulix
