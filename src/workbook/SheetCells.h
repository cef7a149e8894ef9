#pragma once

#include "workbook/Workbook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tabulix {

// The largest sheet of the formats read: rows and columns counted from 0.
inline constexpr std::uint32_t kSheetRows = 1'048'576;
inline constexpr std::uint32_t kSheetCols = 16'384;

// Gathers the cells of one sheet in any order and gives them as lines.
class SheetCells {
public:
    explicit SheetCells(std::uint64_t maxCells) : maxCells_(maxCells) {}

    enum class Added { Ok, TooMany, OutOfSheet };
    // An empty text is no cell. A later text for the same cell replaces it.
    Added add(std::uint32_t row, std::uint32_t col, std::string text);
    // A cell holding shared string `index`, which may be read later.
    Added addShared(std::uint32_t row, std::uint32_t col, std::uint64_t index);
    // Whether every shared string index is below `count`.
    bool sharedBelow(std::size_t count) const;

    std::size_t size() const { return cells_.size(); }
    // SheetText's lines: rows from the first to the last with a cell, each
    // up to its own last cell; shared strings are taken from `strings`.
    std::string lines(const std::vector<std::string>& strings = {});

private:
    struct Cell {
        std::uint32_t row;
        std::uint32_t col;
        std::string text;
        std::uint64_t shared = 0; // the shared string's index + 1; 0 for none
    };
    Added place(Cell cell);
    std::vector<Cell> cells_;
    std::uint64_t maxCells_;
    bool ordered_ = true;
};

} // namespace tabulix
