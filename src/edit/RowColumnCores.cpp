#include "edit/RowColumnCores.h"

#include "draw/BreakShade.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "table/Table.h"

#include <algorithm>

namespace tabulix {

namespace {

int lastRow(const StringGrid& g) {
    return g.rowCount() - 1;
}
int lastCol(const StringGrid& g) {
    return g.colCount() - 1;
}

// The data area's rows and columns, as far as the grid has any.
int clampRow(const StringGrid& g, int row) {
    return std::clamp(row, std::min(g.fixedRows(), lastRow(g)), lastRow(g));
}
int clampCol(const StringGrid& g, int col) {
    return std::clamp(col, std::min(g.fixedCols(), lastCol(g)), lastCol(g));
}

void setSelectionClipped(EditSession& s, int left, int top, int right, int bottom) {
    const StringGrid& g = s.table.grid;
    s.host.setSelection(clampCol(g, left), clampRow(g, top), clampCol(g, right),
                        clampRow(g, bottom));
}

} // namespace

void SelectClipped(EditSession& s, int col, int row) {
    const StringGrid& g = s.table.grid;
    s.host.setCurrentCell(clampCol(g, col), clampRow(g, row));
}

void SetRowRange(EditSession& s, int first, int last) {
    const StringGrid& g = s.table.grid;
    s.edit.operationRange = CellRange{kFirstDataCol, first, lastCol(g), last};
    setSelectionClipped(s, kFirstDataCol, first, lastCol(g), last);
}

void SetColumnRange(EditSession& s, int first, int last) {
    const StringGrid& g = s.table.grid;
    s.edit.operationRange = CellRange{first, g.fixedRows(), last, lastRow(g)};
    setSelectionClipped(s, first, g.fixedRows(), last, lastRow(g));
}

int InsertRows(EditSession& s, int position, int count, bool refresh) {
    StringGrid& g = s.table.grid;
    position = std::clamp(position, 1, g.rowCount());
    if (count <= 0) return position + 1;
    {
        StringGrid::Batch batch(g);
        const int rememberedCol =
            s.edit.rememberedView.valid() ? s.edit.rememberedView.col : s.host.currentCol();
        g.insertRows(position, count);
        auto& records = s.table.rowRecords;
        records.resize(static_cast<std::size_t>(g.rowCount() - count));
        records.insert(records.begin() + position, static_cast<std::size_t>(count), RowRecord{});
        SelectClipped(s, rememberedCol, std::max(position, g.fixedRows()));
    }
    CellRange& range = s.edit.operationRange;
    if (range.hasRows()) {
        const CellRange n = range.normalised();
        if (n.bottom >= position) {
            range = n;
            range.top += count;
            range.bottom += count;
        }
    }
    if (refresh) s.host.rowsChanged(position);
    s.edit.clickRow = position;
    s.host.repaint();
    s.host.setModified(true);
    return range.hasRows() ? range.normalised().top : position + 1;
}

std::vector<StringGrid::TakenRow> DeleteRows(EditSession& s, int first, int count, bool fromMove,
                                             bool keep) {
    StringGrid& g = s.table.grid;
    std::vector<StringGrid::TakenRow> taken;
    if (first < 1 || count <= 0 || first >= g.rowCount()) return taken;
    count = std::min(count, g.rowCount() - first);
    s.host.setBusy(true);
    const int oldCount = g.rowCount();
    int current = s.host.currentRow();
    {
        StringGrid::Batch batch(g);
        if (keep) {
            taken.reserve(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                taken.push_back(g.takeRow(first + i));
        }
        g.deleteRows(first, count);
        auto& records = s.table.rowRecords;
        records.resize(static_cast<std::size_t>(oldCount));
        records.erase(records.begin() + first, records.begin() + first + count);
    }
    if (!fromMove) {
        current = std::max(first, g.fixedRows());
        const int lastRemaining = oldCount - count - 1;
        if (current >= lastRemaining) {
            current = lastRemaining;
            first = current;
        }
    }
    if (s.host.breakShades()) RecomputeBreakShades(s.table, -1, std::min(current, lastRow(g)));
    s.host.rowsChanged(std::min(first, lastRow(g)));
    s.edit.clickRow = first;
    s.edit.operationRange.clear();
    const int rememberedCol =
        s.edit.rememberedView.valid() ? s.edit.rememberedView.col : s.host.currentCol();
    SelectClipped(s, rememberedCol, current);
    s.host.repaint();
    s.host.setModified(true);
    if (!fromMove) s.host.focusGrid();
    s.host.setBusy(false);
    return taken;
}

int InsertColumns(EditSession& s, int position, int count, bool atEnd, bool adjust) {
    StringGrid& g = s.table.grid;
    if (atEnd) position = g.colCount();
    position = std::clamp(position, kFirstDataCol, g.colCount());
    if (count <= 0) return position + 1;
    const WidthRule rule = s.host.widthRule();
    {
        StringGrid::Batch batch(g);
        const int rememberedCol =
            s.edit.rememberedView.valid() ? s.edit.rememberedView.col : s.host.currentCol();
        const int currentRow = s.host.currentRow();
        if (adjust) SelectClipped(s, rememberedCol, currentRow);
        g.insertCols(position, count);
        auto& records = s.table.colRecords;
        records.resize(static_cast<std::size_t>(g.colCount() - count));
        for (int c = position; c < position + count; ++c) {
            g.setColWidth(c, g.defaultColWidth());
            GrowColumnForContent(g, c, 12, rule);
        }
        std::vector<ColumnRecord> fresh;
        for (int c = position; c < position + count; ++c)
            fresh.push_back(ColumnRecord{true, false, g.colWidth(c), 0});
        records.insert(records.begin() + position, fresh.begin(), fresh.end());
        if (adjust) SelectClipped(s, position, currentRow);
    }
    if (adjust) {
        s.edit.clickCol = s.host.currentCol();
        CellRange& range = s.edit.operationRange;
        if (range.hasColumns()) {
            const CellRange n = range.normalised();
            if (n.right >= position) {
                range = n;
                range.left += count;
                range.right += count;
            }
        }
    }
    if (s.host.breakShades()) RecomputeBreakShades(s.table, -1, 0);
    s.host.refreshColumns();
    s.host.repaint();
    s.host.setModified(true);
    const CellRange& range = s.edit.operationRange;
    return range.hasColumns() ? range.normalised().left : position + 1;
}

void DeleteColumns(EditSession& s, int first, int count, bool fromMove) {
    StringGrid& g = s.table.grid;
    if (first < kFirstDataCol || count <= 0 || first >= g.colCount()) return;
    count = std::min(count, g.colCount() - first);
    s.host.setBusy(true);
    const int oldCount = g.colCount();
    const int currentRow = s.host.currentRow();
    {
        StringGrid::Batch batch(g);
        g.deleteCols(first, count);
        auto& records = s.table.colRecords;
        records.resize(static_cast<std::size_t>(oldCount));
        records.erase(records.begin() + first, records.begin() + first + count);
    }
    int current = first;
    const int lastRemaining = oldCount - count - 1;
    if (current >= lastRemaining) current = lastRemaining;
    SelectClipped(s, current, currentRow);
    s.edit.clickCol = s.host.currentCol();
    s.host.refreshColumns();
    s.edit.operationRange.clear();
    s.host.repaint();
    s.host.setModified(true);
    if (!fromMove) s.host.focusGrid();
    s.host.setBusy(false);
}

} // namespace tabulix
