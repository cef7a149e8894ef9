#include "table/TableRecords.h"

#include "text/TextHelpers.h"

#include <algorithm>
#include <span>

namespace tabulix {

bool ShadeBits::test(int row, int col) const {
    if (row < 0 || row >= rows_) return false;
    const std::size_t stride = static_cast<std::size_t>(stride_);
    return TestBit(std::span(bits_).subspan(static_cast<std::size_t>(row) * stride, stride), col);
}

void ShadeBits::set(int row, int col, bool on) {
    if (row < 0 || row >= rows_) return;
    SetBit(std::span(this->row(row), static_cast<std::size_t>(stride_)), col, on);
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
