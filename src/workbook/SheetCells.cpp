#include "workbook/SheetCells.h"

#include "csv/CsvWriter.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace tabulix {

SheetCells::Added SheetCells::add(std::uint32_t row, std::uint32_t col, std::string text) {
    if (text.empty()) return row >= kSheetRows || col >= kSheetCols ? Added::OutOfSheet : Added::Ok;
    return place(Cell{row, col, std::move(text)});
}

SheetCells::Added SheetCells::addShared(std::uint32_t row, std::uint32_t col, std::uint64_t index) {
    if (index == UINT64_MAX) return Added::OutOfSheet;
    return place(Cell{row, col, {}, index + 1});
}

SheetCells::Added SheetCells::place(Cell cell) {
    if (cell.row >= kSheetRows || cell.col >= kSheetCols) return Added::OutOfSheet;
    if (cells_.size() >= maxCells_) return Added::TooMany;
    if (!cells_.empty()) {
        const Cell& last = cells_.back();
        if (cell.row < last.row || (cell.row == last.row && cell.col <= last.col)) ordered_ = false;
    }
    cells_.push_back(std::move(cell));
    return Added::Ok;
}

bool SheetCells::sharedBelow(std::size_t count) const {
    return std::all_of(cells_.begin(), cells_.end(),
                       [count](const Cell& c) { return c.shared <= count; });
}

std::string SheetCells::lines(const std::vector<std::string>& strings) {
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
            const Cell& cell = cells_[i];
            fields.push_back(cell.shared && cell.shared <= strings.size() ? strings[cell.shared - 1]
                                                                          : cell.text);
        }
        out += EncodeCsvRow(fields, Separator::of(','));
        out += "\r\n";
        ++row;
    }
    return out;
}

} // namespace tabulix
