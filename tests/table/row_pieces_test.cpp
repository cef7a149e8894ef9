#include "table/RowPieces.h"
#include "table/StringGrid.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tabulix {
namespace {

// Every row is shown once, after the row before it in its piece, with the
// cells of the row above it; what the shown row's reader throws comes out.
TEST(RowPieces, EveryRowIsShownOnceWithTheRowAboveAndAFailureComesOut) {
    StringGrid grid(3, 1000);
    for (int r = 0; r < grid.rowCount(); ++r)
        grid.setCell(2, r, "r" + std::to_string(r));
    for (const int pieceRows : {1, 7, 1000, 5000}) {
        const RowPieces pieces{3, grid.rowCount(), pieceRows};
        std::vector<int> shown(static_cast<std::size_t>(grid.rowCount()));
        std::vector<int> lastOfPiece(pieces.count(), -1);
        std::mutex mutex;
        ReadRowsInPieces(grid, pieces,
                         [&](std::size_t piece, int row, std::span<const std::string_view> cells,
                             std::span<const std::string_view> above) {
                             const std::lock_guard lock(mutex);
                             ++shown[static_cast<std::size_t>(row)];
                             EXPECT_EQ(cells[2], "r" + std::to_string(row));
                             EXPECT_EQ(above[2], "r" + std::to_string(row - 1));
                             EXPECT_EQ(lastOfPiece[piece],
                                       row == pieces.begin(piece) ? -1 : row - 1);
                             lastOfPiece[piece] = row;
                         });
        for (int r = 0; r < grid.rowCount(); ++r)
            EXPECT_EQ(shown[static_cast<std::size_t>(r)], r < 3 ? 0 : 1) << pieceRows << " " << r;
        EXPECT_THROW(ReadRowsInPieces(grid, pieces,
                                      [](std::size_t, int row, std::span<const std::string_view>,
                                         std::span<const std::string_view>) {
                                          if (row == 500) throw std::runtime_error("stop");
                                      }),
                     std::runtime_error);
    }
}

} // namespace
} // namespace tabulix
