#pragma once

#include "ScriptedDialogs.h"

#include "draw/DisplayText.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"
#include "table/TableLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tabulix {

// The window's side of the editing commands, as a plain record of the
// cursor, selection and flags the commands set.
class FakeHost final : public EditHost {
public:
    explicit FakeHost(Table& table) : table_(table) {}

    int currentCol() const override { return col; }
    int currentRow() const override { return row; }
    void setCurrentCell(int c, int r) override {
        col = c;
        row = r;
        selected = CellRange{c, r, c, r};
    }
    void setSelection(int l, int t, int r, int b) override { selected = CellRange{l, t, r, b}; }
    CellRange selection() const override { return selected; }
    int topRow() const override { return top; }
    int leftCol() const override { return left; }
    int lastVisibleRow() const override { return top + 20; }
    int lastVisibleCol() const override { return left + 5; }
    void setTopRow(int r) override { top = r; }
    void setLeftCol(int c) override { left = c; }
    void repaint() override {}
    void focusGrid() override {}
    void setBusy(bool on) override { busy += on ? 1 : -1; }
    void refreshColumns() override { RenumberColumns(table_.grid); }
    void rowsChanged(int) override { RenumberRows(table_.grid, RowNumbering{}); }
    void refillFixedColumn(int, int) override {}
    bool modified() const override { return isModified; }
    void setModified(bool m) override { isModified = m; }
    bool breakShades() const override { return false; }
    bool confirmChecked(ConfirmItem item) const override { return confirm[static_cast<int>(item)]; }
    WidthRule widthRule() const override { return WidthRule{7.0, 25, false}; }
    DisplayOptions displayOptions() const override { return options; }
    Separator separator() const override { return sep; }
    void setSeparator(Separator s) override { sep = s; }
    void historyChanged() override { ++historyChanges; }

    int col = 2;
    int row = 1;
    CellRange selected;
    DisplayOptions options;
    int top = 1;
    int left = 2;
    int busy = 0;
    bool isModified = false;
    bool confirm[6] = {true, true, true, true, true, true};
    Separator sep = Separator::of(',');
    int historyChanges = 0;

private:
    Table& table_;
};

// A table of `rows` data rows and `cols` data columns whose cell (c, r)
// holds "r<r>c<c>" in data terms (both from 1), with row numbers, column
// numbers, row r's height 20 + r and fresh records.
inline void FillTable(Table& table, int cols, int rows) {
    ResetTable(table, cols, rows, ResetMetrics{});
    StringGrid& g = table.grid;
    for (int r = 1; r <= rows; ++r) {
        g.setRowHeight(r, 20 + r);
        for (int c = 1; c <= cols; ++c)
            g.setCell(c + 1, r, "r" + std::to_string(r) + "c" + std::to_string(c));
    }
    for (int c = 2; c < g.colCount(); ++c) {
        g.setColWidth(c, 50 + c);
        table.colRecords[c].width = 50 + c;
    }
    RenumberRows(g, RowNumbering{});
    RenumberColumns(g);
}

// The first data column of every data row: the row order at a glance.
inline std::vector<std::string> FirstColumn(const Table& table) {
    std::vector<std::string> out;
    for (int r = 1; r < table.grid.rowCount(); ++r)
        out.push_back(table.grid.cellText(2, r));
    return out;
}

// Row 1 of every data column: the column order at a glance.
inline std::vector<std::string> FirstRow(const Table& table) {
    std::vector<std::string> out;
    for (int c = 2; c < table.grid.colCount(); ++c)
        out.push_back(table.grid.cellText(c, 1));
    return out;
}

// One table with everything a command works on.
struct EditBench {
    EditBench(int cols, int rows) { FillTable(table, cols, rows); }

    Table table;
    EditState edit;
    UndoHistory history;
    FakeHost host{table};
    ScriptedDialogs dialogs;
    EditSession session{table, edit, history, host, dialogs};

    void clickRow(int r) {
        edit.clickRow = r;
        edit.clickCol = -1;
    }
    void clickCol(int c) {
        edit.clickCol = c;
        edit.clickRow = -1;
    }
    void rowRange(int first, int last) {
        edit.operationRange = CellRange{2, first, table.grid.colCount() - 1, last};
        edit.operationAxis = HeaderMode::RowHeader;
    }
    void colRange(int first, int last) {
        edit.operationRange = CellRange{first, 1, last, table.grid.rowCount() - 1};
        edit.operationAxis = HeaderMode::ColumnHeader;
    }
};

} // namespace tabulix
