#include "edit/UndoCommand.h"

#include "draw/BreakShade.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "edit/RowColumnCores.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"

#include <algorithm>

namespace tabulix {

namespace {

// Whether the command's lines, rectangle or cell lie inside the table as it
// is now.
bool fitsTable(const THistCtl& c, const StringGrid& g) {
    const int rows = g.rowCount();
    const int cols = g.colCount();
    switch (c.kind) {
    case HistKind::InsertRows:
    case HistKind::CopyRows:
        return c.start >= 1 && c.start + c.count <= rows && rows - c.count >= 2;
    case HistKind::DeleteRows:
    case HistKind::MoveRows:
        return c.start >= 1 && c.start <= rows;
    case HistKind::InsertCols:
    case HistKind::ImportCols:
    case HistKind::CopyCols:
        return c.start >= kFirstDataCol && c.start + c.count <= cols && cols - c.count >= 3;
    case HistKind::DeleteCols:
    case HistKind::MoveCols:
        return c.start >= kFirstDataCol && c.start <= cols;
    case HistKind::RangeClear:
    case HistKind::RangeConvert:
    case HistKind::RangePaste:
        return c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right < cols && c.rect.bottom < rows;
    case HistKind::CellEdit:
        return c.cellCol >= 0 && c.cellCol < cols && c.cellRow >= 0 && c.cellRow < rows;
    case HistKind::RowEdit:
        return true;
    case HistKind::DragRow:
        return std::max(c.cellCol, c.cellRow) < rows && std::min(c.cellCol, c.cellRow) >= 1;
    case HistKind::DragCol:
        return std::max(c.cellCol, c.cellRow) < cols &&
               std::min(c.cellCol, c.cellRow) >= kFirstDataCol;
    }
    return false;
}

// The rectangle an undo took back: selected, highlighted black until the next
// key or mouse press, and scrolled into view.
void showRect(EditSession& s, CellRange rect, HeaderMode axis) {
    const StringGrid& g = s.table.grid;
    s.edit.operationRange = rect;
    s.edit.operationAxis = axis;
    s.edit.undoHighlight = rect;
    const int left =
        std::clamp(rect.left, std::min(g.fixedCols(), g.colCount() - 1), g.colCount() - 1);
    const int right = std::clamp(rect.right, left, g.colCount() - 1);
    const int top =
        std::clamp(rect.top, std::min(g.fixedRows(), g.rowCount() - 1), g.rowCount() - 1);
    const int bottom = std::clamp(rect.bottom, top, g.rowCount() - 1);
    s.host.setSelection(left, top, right, bottom);
    if (!(rect.top > s.host.topRow() && rect.top < s.host.lastVisibleRow()))
        s.host.setTopRow(rect.top - 1 > g.fixedRows() ? rect.top - 1 : rect.top);
    if (!(rect.left > s.host.leftCol() && rect.left < s.host.lastVisibleCol()))
        s.host.setLeftCol(std::max(rect.left - 1, g.fixedCols()));
}

void showRows(EditSession& s, int first, int count) {
    const StringGrid& g = s.table.grid;
    showRect(s, CellRange{kFirstDataCol, first, g.colCount() - 1, first + count - 1},
             HeaderMode::RowHeader);
}

void showColumns(EditSession& s, int first, int count) {
    const StringGrid& g = s.table.grid;
    showRect(s, CellRange{first, g.fixedRows(), first + count - 1, g.rowCount() - 1},
             HeaderMode::ColumnHeader);
}

template <typename Record> void moveRecord(std::vector<Record>& records, int from, int to) {
    if (from < to)
        std::rotate(records.begin() + from, records.begin() + from + 1, records.begin() + to + 1);
    else
        std::rotate(records.begin() + to, records.begin() + from, records.begin() + from + 1);
}

void restoreRows(EditSession& s, const THistCtl& c) {
    InsertRows(s, c.start, c.count, false);
    StringGrid& g = s.table.grid;
    {
        StringGrid::Batch batch(g);
        for (int i = 0; i < c.count; ++i) {
            g.putRow(c.start + i, std::move(s.history.data(i).row));
            const THistInf& inf = s.history.attributes(i);
            g.setRowHeight(c.start + i, inf.height);
            s.table.rowRecords[c.start + i] = inf.rowRecord;
        }
    }
    s.host.rowsChanged(c.start);
}

void restoreColumns(EditSession& s, const THistCtl& c) {
    InsertColumns(s, c.start, c.count, false, true);
    StringGrid& g = s.table.grid;
    StringGrid::Batch batch(g);
    for (int i = 0; i < c.count; ++i) {
        const int col = c.start + i;
        const std::vector<std::string>& texts = s.history.data(i).texts;
        for (int r = 0; r < g.rowCount() && r < static_cast<int>(texts.size()); ++r)
            g.setCell(col, r, texts[r]);
        const THistInf& inf = s.history.attributes(i);
        g.setColWidth(col, inf.width);
        s.table.colRecords[col] = inf.colRecord;
    }
    s.host.refreshColumns();
}

void restoreRange(EditSession& s, const THistCtl& c) {
    StringGrid& g = s.table.grid;
    const std::vector<std::string>& texts = s.history.data(0).texts;
    const std::size_t width = static_cast<std::size_t>(c.rect.right - c.rect.left + 1);
    std::vector<std::string_view> row(width);
    std::size_t i = 0;
    {
        StringGrid::Batch batch(g);
        for (int r = c.rect.top; r <= c.rect.bottom && i + width <= texts.size(); ++r) {
            for (std::size_t k = 0; k < width; ++k)
                row[k] = texts[i++];
            g.setCells(r, c.rect.left, row);
        }
    }
    if (s.host.breakShades())
        for (int col = c.rect.left; col <= c.rect.right; ++col)
            RecomputeBreakShades(s.table, col, c.rect.top);
    showRect(s, c.rect, HeaderMode::Cells);
}

} // namespace

void ClearHistory(EditSession& s, bool clearHighlight) {
    s.history.clear();
    if (clearHighlight) s.edit.undoHighlight.clear();
    s.host.historyChanged();
}

bool UndoOneStep(EditSession& s) {
    if (s.history.empty()) return false;
    const THistCtl c = s.history.newest();
    StringGrid& g = s.table.grid;
    if (!fitsTable(c, g)) {
        ClearHistory(s, false);
        return false;
    }
    bool chained = false;
    switch (c.kind) {
    case HistKind::RowEdit:
        // The single-row editor's cells are restored by the editor itself.
        break;
    case HistKind::CellEdit:
        g.setCell(c.cellCol, c.cellRow, c.oldText);
        if (s.host.breakShades()) RecomputeBreakShades(s.table, c.cellCol, c.cellRow);
        showRect(s, CellRange{c.cellCol, c.cellRow, c.cellCol, c.cellRow}, HeaderMode::Cells);
        break;
    case HistKind::InsertRows:
    case HistKind::CopyRows:
        DeleteRows(s, c.start, c.count, false, false);
        showRows(s, c.start, c.count);
        break;
    case HistKind::DeleteRows:
    case HistKind::MoveRows:
        restoreRows(s, c);
        if (c.kind == HistKind::MoveRows) {
            chained = true;
            s.edit.clipRange.clear();
            s.edit.clipKind = ClipKind::None;
        } else {
            if (s.host.breakShades()) RecomputeBreakShades(s.table, -1, c.start);
            showRows(s, c.start, c.count);
        }
        break;
    case HistKind::InsertCols:
    case HistKind::ImportCols:
    case HistKind::CopyCols:
        DeleteColumns(s, c.start, c.count, false);
        chained = c.kind == HistKind::ImportCols;
        showColumns(s, std::min(c.start, g.colCount() - 1), c.count);
        break;
    case HistKind::DeleteCols:
    case HistKind::MoveCols:
        restoreColumns(s, c);
        if (c.kind == HistKind::MoveCols) {
            chained = true;
            s.edit.clipRange.clear();
            s.edit.clipKind = ClipKind::None;
        } else {
            showColumns(s, c.start, c.count);
        }
        break;
    case HistKind::RangeClear:
    case HistKind::RangeConvert:
    case HistKind::RangePaste:
        restoreRange(s, c);
        break;
    case HistKind::DragRow: {
        g.moveRow(c.cellRow, c.cellCol);
        s.table.rowRecords.resize(static_cast<std::size_t>(g.rowCount()));
        moveRecord(s.table.rowRecords, c.cellRow, c.cellCol);
        s.host.rowsChanged(std::min(c.cellRow, c.cellCol));
        showRows(s, c.cellCol, 1);
        break;
    }
    case HistKind::DragCol: {
        g.moveCol(c.cellRow, c.cellCol);
        s.table.colRecords.resize(static_cast<std::size_t>(g.colCount()));
        moveRecord(s.table.colRecords, c.cellRow, c.cellCol);
        s.host.refreshColumns();
        showColumns(s, c.cellCol, 1);
        break;
    }
    }
    if (c.kind != HistKind::RowEdit) s.host.focusGrid();
    s.host.setModified(c.wasModified);
    s.history.popNewest();
    if (s.history.empty()) ClearHistory(s, false);
    s.host.historyChanged();
    s.host.repaint();
    return chained;
}

void Mn_UndoClick(EditSession& s) {
    s.edit.operationRange.clear();
    s.edit.operationAxis = HeaderMode::Cells;
    if (UndoOneStep(s)) UndoOneStep(s);
}

} // namespace tabulix
