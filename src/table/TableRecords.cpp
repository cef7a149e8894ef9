#include "table/TableRecords.h"

#include <algorithm>

namespace tabulix {

bool ShadeBits::test(int row, int col) const {
    if (row < 0 || row >= rows_ || col < 0 || col / 8 >= stride_) return false;
    const std::uint8_t byte = bits_[static_cast<std::size_t>(row) * stride_ + col / 8];
    return (byte & (128 >> (col % 8))) != 0;
}

void ShadeBits::set(int row, int col, bool on) {
    if (row < 0 || row >= rows_ || col < 0 || col / 8 >= stride_) return;
    std::uint8_t& byte = bits_[static_cast<std::size_t>(row) * stride_ + col / 8];
    const auto mask = static_cast<std::uint8_t>(128 >> (col % 8));
    byte = on ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

void ShadeBits::fit(int rows, int cols) {
    const int stride = std::max(stride_, (std::min(cols, kShadeColumns) + 7) / 8);
    rows = std::max(rows, rows_);
    if (stride == stride_ && rows == rows_) return;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(rows) * stride);
    for (int r = 0; r < rows_; ++r)
        std::copy_n(row(r), stride_, bits.begin() + static_cast<std::ptrdiff_t>(r) * stride);
    bits_ = std::move(bits);
    rows_ = rows;
    stride_ = stride;
}

void ShadeBits::clear() {
    bits_ = {};
    rows_ = 0;
    stride_ = 0;
}

void TCsvFileInf::clear() {
    if (!loaded) return;
    loaded = false;
    currentLine = 0;
}

} // namespace tabulix
