#include "edit/CellEdit.h"

#include "draw/BreakShade.h"
#include "draw/DisplayText.h"
#include "edit/EditSession.h"
#include "edit/UndoHistory.h"
#include "text/MemoText.h"
#include "table/Table.h"
#include "table/WidthRule.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <climits>

namespace tabulix {

namespace {

// The column grows to show the new text; a suppressed column stays narrow
// and only its kept width grows.
void widenForText(EditSession& s, int col, std::string_view text) {
    StringGrid& g = s.table.grid;
    std::string scratch;
    const std::size_t units = cellDisplayUnits(DisplayTextView(text, s.host.displayOptions(), scratch));
    const int length = static_cast<int>(std::min<std::size_t>(units, INT_MAX));
    ColumnRecord* record = col < static_cast<int>(s.table.colRecords.size())
                               ? &s.table.colRecords[static_cast<std::size_t>(col)]
                               : nullptr;
    if (record && !record->visible) {
        record->width = std::max(record->width, WantedColumnWidth(length, s.host.widthRule()));
        return;
    }
    GrowColumnForContent(g, col, length, s.host.widthRule());
    if (record) record->width = g.colWidth(col);
}

} // namespace

bool CommitCellEdit(EditSession& s, int col, int row, std::string_view memoText) {
    StringGrid& g = s.table.grid;
    if (col < 0 || col >= g.colCount() || row < 0 || row >= g.rowCount()) return false;
    const std::string_view old = g.cell(col, row);
    const std::string text = CellTextFromMemo(old, memoText);
    if (text == old) return false;
    s.history.recordCell(HistKind::CellEdit, col, row, g, s.host.modified());
    g.setCell(col, row, text);
    s.host.setModified(true);
    s.host.historyChanged();
    widenForText(s, col, text);
    if (s.host.breakShades()) RecomputeBreakShades(s.table, col, row);
    s.host.repaint();
    return true;
}

CellPosition CellAfterMemo(int crNextItem, CellPosition at, const StringGrid& grid) {
    const int firstRow = grid.fixedRows();
    const int lastRow = grid.rowCount() - 1;
    const int firstCol = grid.fixedCols();
    const int lastCol = grid.colCount() - 1;
    switch (crNextItem) {
    case 1:
        if (at.row > firstRow) --at.row;
        break;
    case 2:
        if (at.row < lastRow) ++at.row;
        break;
    case 3:
        if (at.col > firstCol) {
            --at.col;
        } else {
            at.col = lastCol;
            if (at.row > firstRow) --at.row;
        }
        break;
    case 4:
        if (at.col < lastCol) {
            ++at.col;
        } else {
            at.col = firstCol;
            if (at.row < lastRow) ++at.row;
        }
        break;
    default:
        break;
    }
    return at;
}

} // namespace tabulix
