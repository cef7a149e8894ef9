#include "edit/RowEditor.h"

#include "draw/BreakShade.h"
#include "edit/CellEdit.h"
#include "edit/EditSession.h"
#include "edit/UndoCommand.h"
#include "edit/UndoHistory.h"
#include "table/RowNumberTexts.h"
#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <vector>

namespace tabulix {

void LayoutVertGrid(StringGrid& vert, const StringGrid& table, const VertGridLayout& layout,
                    std::string_view nameTitle) {
    const int lines = std::max(table.colCount() - kFirstDataCol, 0);
    StringGrid grid(3, lines + 1);
    grid.setFixedCols(2);
    grid.setFixedRows(1);
    grid.setDefaultRowHeight(layout.defaultRowHeight);
    for (int r = 0; r < grid.rowCount(); ++r)
        grid.setRowHeight(r, layout.defaultRowHeight);
    const double a = layout.charWidth;
    grid.setColWidth(0, static_cast<int>(6 * a));
    grid.setColWidth(1, static_cast<int>(layout.nameWidthItem * a));
    grid.setColWidth(2, layout.contentWidth >= 0 ? layout.contentWidth : static_cast<int>(50 * a));
    const std::string_view titles[] = {"No.", nameTitle, "内容"};
    grid.setRow(0, std::span<const std::string_view>(titles));
    vert = std::move(grid);
}

std::string VertNameTitle(std::string_view nameRowItem) {
    return "列名 [" + std::string(TrimBlanks(nameRowItem)) + "]";
}

void FillVertGrid(StringGrid& vert, const StringGrid& table, int row, int nameRow,
                  std::string_view nameTitle) {
    StringGrid::Batch batch(vert);
    vert.setCell(1, 0, nameTitle);
    const bool names = nameRow > 0 && nameRow < table.rowCount();
    for (int k = kFirstDataCol; k < table.colCount() && k - 1 < vert.rowCount(); ++k) {
        const std::string_view line[] = {table.cell(k, 0),
                                         names ? table.cell(k, nameRow) : std::string_view(),
                                         table.cell(k, row)};
        vert.setRow(k - 1, std::span<const std::string_view>(line));
    }
}

// Unlike the number column, header rows are not blanked: they show 0 or less.
std::string VertRowLabel(int row, int numberOffset) {
    const long long n = static_cast<long long>(row) - numberOffset;
    return "[ " + (n > 0 ? RowNumberText(n) : std::to_string(n)) + " ]";
}

std::string VertRowGroupCaption(int rowCount) {
    return "行No. (Max: " + std::to_string(rowCount - 1) + ")";
}

bool WriteBackVertRow(EditSession& s, const StringGrid& vert, int row) {
    StringGrid& g = s.table.grid;
    if (row < 1 || row >= g.rowCount()) return false;
    bool changed = false;
    for (int k = kFirstDataCol; k < g.colCount() && k - 1 < vert.rowCount(); ++k) {
        const std::string_view text = vert.cell(kVertContentCol, k - 1);
        if (text == g.cell(k, row)) continue;
        g.setCell(k, row, text);
        changed = true;
        if (s.host.breakShades()) RecomputeBreakShades(s.table, k, row);
    }
    if (changed) {
        s.host.setModified(true);
        s.host.repaint();
    }
    return changed;
}

bool CommitVertEdit(EditSession& s, StringGrid& vert, int line, std::string_view memoText) {
    if (line < 1 || line >= vert.rowCount()) return false;
    const std::string_view old = vert.cell(kVertContentCol, line);
    const std::string text = CellTextFromMemo(old, memoText);
    if (text == old) return false;
    s.history.recordCell(HistKind::RowEdit, kVertContentCol, line, vert, s.host.modified());
    vert.setCell(kVertContentCol, line, text);
    s.host.setModified(true);
    s.host.historyChanged();
    return true;
}

int UndoVertEdit(EditSession& s, StringGrid& vert) {
    if (s.history.empty() || s.history.newest().kind != HistKind::RowEdit) return -1;
    const THistCtl& c = s.history.newest();
    const int line = c.cellRow;
    vert.setCell(c.cellCol, c.cellRow, c.oldText);
    UndoOneStep(s);
    return line;
}

} // namespace tabulix
