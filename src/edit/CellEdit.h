#pragma once

#include "text/MemoText.h"

#include <string>
#include <string_view>

namespace tabulix {

struct EditSession;
class StringGrid;

// The cell memo's side of editing a table cell.

// Stores the memo's text in the table's cell when it differs: recorded for
// undo, the table modified, the column widened to show it and its shades
// recomputed from that row. True when the cell changed.
bool CommitCellEdit(EditSession& s, int col, int row, std::string_view memoText);

struct CellPosition {
    int col = -1;
    int row = -1;
    bool operator==(const CellPosition&) const = default;
};

// Where the cursor goes when the memo is closed with Enter or Escape, by the
// "ｶｰｿﾙ 移動" item: 0 stays, 1 up, 2 down, 3 left, 4 right (left and right
// wrap to the row above or below).
CellPosition CellAfterMemo(int crNextItem, CellPosition at, const StringGrid& grid);

} // namespace tabulix
