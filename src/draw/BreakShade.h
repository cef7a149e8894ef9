#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tabulix {

struct Table;
struct RowPieces;

// Recomputes the break-shade bits of column `col` (every data column when
// col < 0) from row `fromRow` down: the shade flips at each change of value
// from the row above and is off for empty cells, so runs of equal values
// share one shade. Columns beyond the shade bits are skipped.
void RecomputeBreakShades(Table& table, int col, int fromRow);

// The shades of the whole table, as RecomputeBreakShades(table, -1, 0) gives
// them, from its rows read in pieces (ReadRowsInPieces): each piece is shaded
// from its own rows as they are shown, on any thread; join() then puts in
// what each piece carries over from the pieces above it. Rows above the first
// data row are passed over. The cells must not change in between.
class PieceShades {
public:
    PieceShades(Table& table, const RowPieces& pieces);
    void see(std::size_t piece, int row, std::span<const std::string_view> cells,
             std::span<const std::string_view> above);
    void join();

private:
    struct Piece {
        int first = -1; // the first row shaded
        int end = 0;
        std::vector<std::uint8_t> bits;
        std::vector<int> firstBlank;
    };
    Table& table_;
    int firstCol_ = 0;
    int lastCol_ = -1;
    int startRow_ = 0;
    std::vector<std::uint8_t> inPass_;
    std::vector<std::uint8_t> firstBits_;
    std::vector<Piece> pieces_;
};

} // namespace tabulix
