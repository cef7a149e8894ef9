#include "workbook/SheetCells.h"

#include "csv/CsvWriter.h"

#include <algorithm>
#include <string_view>

namespace tabulix {

SheetCells::Added SheetCells::add(std::uint32_t row, std::uint32_t col, std::string text) {
    if (row >= kSheetRows || col >= kSheetCols) return Added::OutOfSheet;
    if (text.empty()) return Added::Ok;
    if (cells_.size() >= maxCells_) return Added::TooMany;
    if (!cells_.empty()) {
        const Cell& last = cells_.back();
        if (row < last.row || (row == last.row && col <= last.col)) ordered_ = false;
    }
    cells_.push_back(Cell{row, col, std::move(text)});
    return Added::Ok;
}

std::string SheetCells::lines() {
    if (!ordered_) {
        // Stable, so that of two texts for one cell the later stays last.
        std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
            return a.row != b.row ? a.row < b.row : a.col < b.col;
        });
    }
    std::string out;
    std::vector<std::string_view> fields;
    std::uint32_t row = 0;
    for (std::size_t i = 0; i < cells_.size();) {
        for (; row < cells_[i].row; ++row) out += "\r\n";
        fields.clear();
        for (; i < cells_.size() && cells_[i].row == row; ++i) {
            // A repeated cell: the later text wins.
            if (i + 1 < cells_.size() && cells_[i + 1].row == row && cells_[i + 1].col == cells_[i].col)
                continue;
            fields.resize(cells_[i].col);
            fields.push_back(cells_[i].text);
        }
        out += EncodeCsvRow(fields, Separator::of(','));
        out += "\r\n";
        ++row;
    }
    return out;
}

} // namespace tabulix
