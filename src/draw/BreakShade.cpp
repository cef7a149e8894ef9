#include "draw/BreakShade.h"

#include "table/RowPieces.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tabulix {

namespace {

// Blanks only (bytes up to the space): an empty value, which ends a run.
// Most texts start with something else, which tells at once.
bool blankValue(std::string_view text) {
    return text.empty() || (static_cast<unsigned char>(text[0]) <= ' ' && TrimBlanks(text).empty());
}

std::uint8_t bitOf(int col) {
    return static_cast<std::uint8_t>(128 >> (col % 8));
}

std::string_view cellIn(std::span<const std::string_view> cells, int c) {
    return static_cast<std::size_t>(c) < cells.size() ? cells[c] : std::string_view{};
}

// The columns and rows a recomputation covers (rows from `startRow`, whose
// shade is the first), with the shade bits made room for; nothing when there
// are none.
struct PassRows {
    int firstCol, lastCol, startRow, rows;
};
std::optional<PassRows> passRows(Table& table, int col, int fromRow) {
    const StringGrid& grid = table.grid;
    const int rows = std::min(grid.rowCount(), static_cast<int>(table.rowRecords.size()));
    const int firstCol = col < 0 ? kFirstDataCol : col;
    const int lastCol = std::min(col < 0 ? grid.colCount() - 1 : col, kShadeColumns - 1);
    const int startRow = fromRow > 1 ? fromRow - 1 : grid.fixedRows();
    if (firstCol > lastCol || startRow >= rows) return std::nullopt;
    table.shades.fit(rows, lastCol + 1);
    return PassRows{firstCol, lastCol, startRow, rows};
}

std::vector<std::uint8_t> passMask(const Table& table, const PassRows& rows) {
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(table.shades.stride()));
    for (int c = rows.firstCol; c <= rows.lastCol; ++c)
        mask[static_cast<std::size_t>(c / 8)] |= bitOf(c);
    return mask;
}

// One row's shades from the row above's: `bits` holds the bits of the row
// above on entry and this row's on return, which also go into the row's
// own bits of the pass's columns. A blank value is marked in `firstBlank`
// (when given) if it is the column's first.
void shadeRow(Table& table, int row, std::span<const std::string_view> cells,
              std::span<const std::string_view> above, const PassRows& pass,
              const std::vector<std::uint8_t>& inPass, std::uint8_t* bits, int* firstBlank,
              int noBlank) {
    for (int c = pass.firstCol; c <= pass.lastCol; ++c) {
        const std::string_view text = cellIn(cells, c);
        std::uint8_t& byte = bits[static_cast<std::size_t>(c / 8)];
        if (blankValue(text)) {
            byte = static_cast<std::uint8_t>(byte & ~bitOf(c));
            if (firstBlank && firstBlank[c] == noBlank) firstBlank[c] = row;
        } else if (text != cellIn(above, c)) {
            byte ^= bitOf(c);
        }
    }
    std::uint8_t* shade = table.shades.row(row);
    for (std::size_t i = 0; i < inPass.size(); ++i)
        shade[i] = static_cast<std::uint8_t>((shade[i] & ~inPass[i]) | (bits[i] & inPass[i]));
}

} // namespace

void RecomputeBreakShades(Table& table, int col, int fromRow) {
    const std::optional<PassRows> pass = passRows(table, col, fromRow);
    if (!pass) return;
    const std::vector<std::uint8_t> inPass = passMask(table, *pass);
    std::uint8_t* first = table.shades.row(pass->startRow);
    // From the first data row, the first shade is on.
    if (fromRow <= 1)
        for (std::size_t i = 0; i < inPass.size(); ++i)
            first[i] |= inPass[i];
    std::vector<std::uint8_t> bits(first, first + inPass.size());
    const StringGrid& grid = table.grid;
    std::vector<std::string_view> above;
    std::vector<std::string_view> cells;
    grid.rowCells(pass->startRow, above);
    for (int r = pass->startRow + 1; r < pass->rows; ++r) {
        grid.rowCells(r, cells);
        shadeRow(table, r, cells, above, *pass, inPass, bits.data(), nullptr, 0);
        std::swap(above, cells);
    }
}

PieceShades::PieceShades(Table& table, const RowPieces& pieces) : table_(table) {
    const std::optional<PassRows> pass = passRows(table, -1, 0);
    if (!pass) return; // nothing to shade: every row is passed over
    firstCol_ = pass->firstCol;
    lastCol_ = pass->lastCol;
    startRow_ = pass->startRow;
    inPass_ = passMask(table, *pass);
    std::uint8_t* first = table.shades.row(startRow_);
    for (std::size_t i = 0; i < inPass_.size(); ++i)
        first[i] |= inPass_[i];
    firstBits_.assign(first, first + inPass_.size());
    pieces_.resize(pieces.count());
    for (std::size_t i = 0; i < pieces_.size(); ++i)
        pieces_[i].end = std::min(pieces.end(i), pass->rows);
}

void PieceShades::see(std::size_t piece, int row, std::span<const std::string_view> cells,
                      std::span<const std::string_view> above) {
    if (lastCol_ < firstCol_ || row <= startRow_ || piece >= pieces_.size()) return;
    Piece& p = pieces_[piece];
    if (row >= p.end) return;
    if (p.first < 0) {
        // The piece below the first data row starts from its bits; the
        // others from nothing, mended by join().
        p.first = row;
        p.bits = row == startRow_ + 1 ? firstBits_ : std::vector<std::uint8_t>(inPass_.size());
        p.firstBlank.assign(static_cast<std::size_t>(lastCol_) + 1, p.end);
    }
    const PassRows pass{firstCol_, lastCol_, startRow_, p.end};
    shadeRow(table_, row, cells, above, pass, inPass_, p.bits.data(), p.firstBlank.data(), p.end);
}

void PieceShades::join() {
    const std::vector<std::uint8_t>* carry = nullptr;
    for (Piece& p : pieces_) {
        if (p.first < 0) continue;
        if (carry && p.first != startRow_ + 1) {
            // Run from bits of nothing while the row above really had
            // `carry`: until its first blank, a column's shade is the other
            // one; so are the piece's last bits where it has no blank.
            std::vector<std::pair<int, int>> ends; // (first blank row, column)
            std::vector<std::uint8_t> flip(inPass_.size());
            for (int c = firstCol_; c <= lastCol_; ++c) {
                const auto byte = static_cast<std::size_t>(c / 8);
                if (!((*carry)[byte] & bitOf(c))) continue;
                flip[byte] |= bitOf(c);
                ends.emplace_back(p.firstBlank[c], c);
                if (p.firstBlank[c] == p.end) p.bits[byte] ^= bitOf(c);
            }
            std::sort(ends.begin(), ends.end());
            std::size_t ended = 0;
            for (int r = p.first; r < p.end && ended < ends.size(); ++r) {
                for (; ended < ends.size() && ends[ended].first == r; ++ended)
                    flip[static_cast<std::size_t>(ends[ended].second / 8)] &=
                        static_cast<std::uint8_t>(~bitOf(ends[ended].second));
                std::uint8_t* shade = table_.shades.row(r);
                for (std::size_t i = 0; i < flip.size(); ++i)
                    shade[i] ^= flip[i];
            }
        }
        carry = &p.bits;
    }
}

} // namespace tabulix
