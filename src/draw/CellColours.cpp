#include "draw/CellColours.h"

#include "draw/DisplayText.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>

namespace tabulix {

namespace {

constexpr std::uint32_t kShadeStep = 0x10;

bool rowMarked(const Table& table, int row) {
    return row >= 0 && row < static_cast<int>(table.rowRecords.size()) &&
           table.rowRecords[row].marked;
}

bool colMarked(const Table& table, int col) {
    return col >= 0 && col < static_cast<int>(table.colRecords.size()) &&
           table.colRecords[col].marked;
}

bool shaded(const Table& table, int col, int row) {
    return table.shades.test(row, col);
}

void paint(CellColours& out, std::uint32_t background, std::uint32_t text) {
    out.background = background;
    out.text = text;
    out.anyRuleApplied = true;
}

// Row numbers, column numbers and header rows with centring on are centred;
// the fixed-column display, and header rows with centring off, are not.
CellAlign fixedAlign(const CellColourInput& in, int col, int row) {
    if (col == 1 && row > 0) return CellAlign::Left;
    const bool headerRow = row > 0 && row < in.table.grid.fixedRows();
    if (headerRow && col >= kFirstDataCol && !in.options.fixedCenter) return CellAlign::Left;
    return CellAlign::Centre;
}

bool clickedHeader(const EditState& edit, int col, int row) {
    if (edit.headerMode == HeaderMode::ColumnHeader) return row == 0 && col == edit.clickCol;
    if (edit.headerMode == HeaderMode::RowHeader) return col == 0 && row == edit.clickRow;
    return false;
}

CellColours fixedCell(const CellColourInput& in, int col, int row) {
    CellColours out;
    const bool marked = rowMarked(in.table, row) || colMarked(in.table, col);
    out.background = marked ? kMarkedGreen : kFixedGrey;
    out.text = kFixedText;
    out.align = fixedAlign(in, col, row);
    out.fixed = true;
    out.whiteFrame = clickedHeader(in.edit, col, row);
    return out;
}

void applyDataRules(const CellColourInput& in, int col, int row, CellColours& out) {
    const DisplayOptions& options = in.options;
    const bool selected = in.selection.contains(col, row);
    if (options.breakColor && !selected && col < kShadeColumns) {
        const std::uint32_t background = GridBackground(options);
        paint(out, shaded(in.table, col, row) ? BreakShadeColour(background) : background,
              kGridText);
    }
    if ((options.karaGyoColor || options.karaGyoBlack) && in.rowEmpty)
        paint(out, options.karaGyoColor ? kEmptyRowLight : kEmptyRowDark, kGridText);
    if (rowMarked(in.table, row) && !selected &&
        (in.table.markedColCount == 0 || colMarked(in.table, col)))
        paint(out, kMarkedGreen, kHighlightText);
    if (in.edit.clipRange.contains(col, row)) paint(out, kClipBlue, kHighlightText);
    if (col == in.currentCol && row == in.currentRow) paint(out, kCursorNavy, kHighlightText);
    if (selected) paint(out, kCursorNavy, kHighlightText);
    const Highlight& confirm = in.edit.confirmHighlight;
    if (confirm.active() && confirm.range.contains(col, row))
        paint(out, confirm.rgb, kHighlightText);
}

} // namespace

std::uint32_t GridBackground(const DisplayOptions& options) {
    return options.whiteGrid ? kGridWhite : kGridSilver;
}

std::uint32_t BreakShadeColour(std::uint32_t background) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t channel = (background >> shift) & 0xFF;
        out |= (channel > kShadeStep ? channel - kShadeStep : 0) << shift;
    }
    return out;
}

bool RowDataIsEmpty(const StringGrid& grid, int row) {
    for (int col = kFirstDataCol; col < grid.colCount(); ++col)
        if (!grid.cell(col, row).empty()) return false;
    return true;
}

CellColours CellColoursOf(const CellColourInput& in, int col, int row) {
    const StringGrid& grid = in.table.grid;
    if (col < grid.fixedCols() || row < grid.fixedRows()) return fixedCell(in, col, row);
    CellColours out;
    out.align = in.options.dataCenter ? CellAlign::Centre : CellAlign::Left;
    if (in.edit.undoHighlight.contains(col, row)) {
        paint(out, kUndoBlack, kHighlightText);
        return out;
    }
    applyDataRules(in, col, row, out);
    return out;
}

} // namespace tabulix
