#pragma once

#include "edit/EditState.h"

#include <cstdint>
#include <optional>

namespace tabulix {

class StringGrid;
struct DisplayOptions;
struct Table;

// Colours of the grid, 0xRRGGBB.
inline constexpr std::uint32_t kGridSilver = 0xC0C0C0;
inline constexpr std::uint32_t kGridWhite = 0xFFFFFF;
inline constexpr std::uint32_t kGridText = 0x000000;
inline constexpr std::uint32_t kFixedGrey = 0x808080;
inline constexpr std::uint32_t kFixedText = 0xFFFFFF;
inline constexpr std::uint32_t kEmptyRowLight = 0xEFEFEF;
inline constexpr std::uint32_t kEmptyRowDark = 0x797979;
inline constexpr std::uint32_t kMarkedGreen = 0x008000;
inline constexpr std::uint32_t kClipBlue = 0x0000FF;
inline constexpr std::uint32_t kCursorNavy = 0x000080;
inline constexpr std::uint32_t kUndoBlack = 0x000000;
inline constexpr std::uint32_t kHighlightText = 0xFFFFFF;
inline constexpr std::uint32_t kHeaderFrameWhite = 0xFFFFFF;

// Silver or white, as the options choose.
std::uint32_t GridBackground(const DisplayOptions& options);
// The background less 0x10 in each of red, green and blue (never below 0).
std::uint32_t BreakShadeColour(std::uint32_t background);

// Every data cell (columns 2 onwards) of the row is the empty string. Costs a
// scan of the row, so a painter asks once per row, not per cell.
bool RowDataIsEmpty(const StringGrid& grid, int row);

// What the colour decision reads. The table, edit state and options are read
// as they are; the rest is taken once per paint (current cell, selection) or
// once per row (rowEmpty).
struct CellColourInput {
    CellColourInput(const Table& t, const EditState& e, const DisplayOptions& o)
        : table(t), edit(e), options(o) {}

    const Table& table;
    const EditState& edit;
    const DisplayOptions& options;
    int currentCol = -1;
    int currentRow = -1;
    CellRange selection;   // data cells only; none while left < 0
    bool rowEmpty = false; // RowDataIsEmpty of the row being decided
};

enum class CellAlign { Left, Centre };

struct CellColours {
    // None: no rule chose a colour and the cell may keep the grid's standard
    // drawing on the grid background.
    std::optional<std::uint32_t> background;
    std::uint32_t text = kGridText;
    CellAlign align = CellAlign::Left;
    bool fixed = false;          // draw the raised frame
    bool whiteFrame = false;     // the clicked header in row- or column-header mode
    bool anyRuleApplied = false; // a data-cell rule (or the undo highlight) chose the colours
};

// The colours of cell (col, row). Fixed cells are grey, green in a marked row
// or column; data cells inside the undo highlight are black; other data cells
// go through break shading, empty row, marked row, clip range, current cell,
// selection and confirmation highlight, each later rule overriding the
// earlier ones.
CellColours CellColoursOf(const CellColourInput& in, int col, int row);

} // namespace tabulix
