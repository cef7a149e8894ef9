#pragma once

#include <string>
#include <string_view>

namespace tabulix {

struct EditSession;
class StringGrid;

// The single-row editor's display-free side: `VertGrid` shows one row of the
// table transposed, one line per data column (number, name, content), and
// its content lines are written back into the table when the editor leaves
// the row.

// Line i (i >= 1) of the editor shows data column i + 1 of the table.
inline constexpr int kVertContentCol = 2;

struct VertGridLayout {
    double charWidth = 7.0;
    int nameWidthItem = 24;   // "列名幅" item: the name column is that many "A" wide
    int contentWidth = -1;    // kept from the last closing; -1 for 50 "A"
    int defaultRowHeight = 21;
};

// Three columns (two fixed), the title row and one line per data column of
// `table`; every cell empty but the titles.
void LayoutVertGrid(StringGrid& vert, const StringGrid& table, const VertGridLayout& layout,
                    std::string_view nameTitle);

// The name column's title: "列名 [" + the chosen name-row item, trimmed, + "]".
std::string VertNameTitle(std::string_view nameRowItem);

// Fills the lines from table row `row`: column numbers, the names from
// `nameRow` (none when it is not a row of the table above 0) and the contents.
void FillVertGrid(StringGrid& vert, const StringGrid& table, int row, int nameRow,
                  std::string_view nameTitle);

// The row label "[ n ]" with n the row's number counted from the first
// counted row (a header row shows 0 or less), and the row group's caption.
std::string VertRowLabel(int row, int numberOffset);
std::string VertRowGroupCaption(int rowCount);

// Writes the changed content lines back into table row `row` (rows from 1):
// each changed cell set, the table modified, its column's shades
// recomputed from that row. True when anything changed.
bool WriteBackVertRow(EditSession& s, const StringGrid& vert, int row);

// The memo's text into content line `line`: recorded as a single-row edit
// when it differs (the table itself changes at the write back).
bool CommitVertEdit(EditSession& s, StringGrid& vert, int line, std::string_view memoText);

// The single-row undo: the newest single-row edit's old text back into its
// line; returns that line, or -1 when the newest command is not one.
int UndoVertEdit(EditSession& s, StringGrid& vert);

} // namespace tabulix
