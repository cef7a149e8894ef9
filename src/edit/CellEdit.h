#pragma once

#include <string>
#include <string_view>

namespace tabulix {

struct EditSession;
class StringGrid;

// The cell memo's side of editing a cell. A cell may hold line breaks; the
// memo shows each as a line.

// A cell's text as the memo shows it: every line break (CR LF, CR, LF) one LF.
std::string MemoTextOf(std::string_view cell);

// What a cell holds after the memo: the old text byte for byte when its lines
// were not changed (a cell read with LF breaks stays LF), otherwise the
// memo's lines joined by CR LF.
std::string CellTextFromMemo(std::string_view oldText, std::string_view memoText);

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
