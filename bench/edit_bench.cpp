// Row commands and their undo on a loaded table: insert or delete one row,
// delete many selected rows, move clipped rows; each then undone. Prints the
// median of several runs and the undo history's memory for deleted rows.
//
//   edit_bench [rows] [fields]     (default 1,000,000 x 10)
#include "csv/TableLoader.h"
#include "draw/DisplayText.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "ScriptedClipboard.h"
#include "edit/LineCommands.h"
#include "edit/RangeCommands.h"
#include "edit/RowColumnCores.h"
#include "edit/UndoCommand.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"
#include "table/TableLayout.h"
#include "FixedAnswerDialogs.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tabulix;
using Clock = std::chrono::steady_clock;

// The window's side as the commands see it, doing what the main window does
// after a change: row numbers rewritten where they changed.
class BenchHost final : public EditHost {
public:
    explicit BenchHost(Table& table) : table_(table) {}
    int currentCol() const override { return col_; }
    int currentRow() const override { return row_; }
    void setCurrentCell(int c, int r) override {
        col_ = c;
        row_ = r;
    }
    void setSelection(int l, int t, int r, int b) override { selected = CellRange{l, t, r, b}; }
    CellRange selection() const override { return selected; }
    CellRange selected;
    int topRow() const override { return 1; }
    int leftCol() const override { return 2; }
    int lastVisibleRow() const override { return 40; }
    int lastVisibleCol() const override { return 8; }
    void setTopRow(int) override {}
    void setLeftCol(int) override {}
    void repaint() override {}
    void focusGrid() override {}
    void setBusy(bool) override {}
    void refreshColumns() override { RenumberColumns(table_.grid); }
    void rowsChanged(int) override { RenumberRows(table_.grid, RowNumbering{false, 0}); }
    void refillFixedColumn(int, int) override {}
    bool modified() const override { return modified_; }
    void setModified(bool m) override { modified_ = m; }
    bool breakShades() const override { return false; }
    bool confirmChecked(ConfirmItem) const override { return false; }
    WidthRule widthRule() const override { return {}; }
    DisplayOptions displayOptions() const override { return {}; }
    Separator separator() const override { return Separator::of(','); }
    void setSeparator(Separator) override {}
    void historyChanged() override {}

private:
    Table& table_;
    int col_ = 2;
    int row_ = 1;
    bool modified_ = false;
};

std::string makeText(long rows, int fields) {
    std::mt19937 rng(7);
    std::string text;
    for (long r = 0; r < rows; ++r) {
        for (int f = 0; f < fields; ++f) {
            if (f) text += ',';
            const int n = 1 + static_cast<int>(rng() % 9);
            for (int i = 0; i < n; ++i)
                text += static_cast<char>('a' + rng() % 26);
        }
        text += "\r\n";
    }
    return text;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Bench {
    Table table;
    EditState edit;
    UndoHistory history;
    BenchHost host{table};
    FixedAnswerDialogs dialogs{true}; // no command here asks anything
    EditSession session{table, edit, history, host, dialogs};
};

// Runs `command` then the undo `runs` times; prints both medians.
void measure(Bench& b, const char* name, int runs, const std::function<void()>& command) {
    std::vector<double> done, undone;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        command();
        const auto t1 = Clock::now();
        Mn_UndoClick(b.session);
        const auto t2 = Clock::now();
        done.push_back(ms(t1 - t0));
        undone.push_back(ms(t2 - t1));
    }
    std::printf("| %-44s | %10.3f | %10.3f |\n", name, median(done), median(undone));
}

} // namespace

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int fields = argc > 2 ? std::atoi(argv[2]) : 10;
    Bench b;
    {
        const std::string text = makeText(rows, fields);
        const auto t0 = Clock::now();
        FillTable(b.table, text, Separator::of(','), ResetMetrics{}, {},
                  LoadedRowLayout{RowNumbering{false, 0}, 0});
        std::printf("table: %ld rows x %d fields, loaded in %.0f ms\n\n", rows, fields,
                    ms(Clock::now() - t0));
    }
    const int last = b.table.grid.rowCount() - 1;
    std::printf("| %-44s | %10s | %10s |\n", "command", "ms", "undo ms");
    std::printf("|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(12, '-').c_str(),
                std::string(12, '-').c_str());

    auto oneRow = [&](int row, bool insert) {
        return [&b, row, insert] {
            b.edit.operationRange.clear();
            b.edit.clickRow = row;
            if (insert)
                InsertLines(b.session, Axis::Rows);
            else
                DeleteLines(b.session, Axis::Rows);
        };
    };
    for (const auto& [label, row] : {std::pair{"last row", last}, std::pair{"middle row", last / 2},
                                     std::pair{"row 10", 10}}) {
        measure(b, ("insert 1 row at the " + std::string(label)).c_str(), 7, oneRow(row, true));
        measure(b, ("delete 1 row at the " + std::string(label)).c_str(), 7, oneRow(row, false));
    }

    const int n = std::min(100000, last / 2);
    auto manyRows = [&](int first) {
        return [&b, first, n] {
            b.edit.operationRange = CellRange{2, first, b.table.grid.colCount() - 1, first + n - 1};
            b.edit.operationAxis = HeaderMode::RowHeader;
            DeleteLines(b.session, Axis::Rows);
        };
    };
    measure(b, ("delete " + std::to_string(n) + " rows before the end").c_str(), 3,
            manyRows(last - n));
    measure(b, ("delete " + std::to_string(n) + " rows at the middle").c_str(), 3,
            manyRows(last / 2));

    const int m = std::min(10000, last / 4);
    auto move = [&](int first, int target) {
        return [&b, first, target, m] {
            b.edit.clipRange = CellRange{2, first, b.table.grid.colCount() - 1, first + m - 1};
            b.edit.clipKind = ClipKind::Rows;
            b.edit.operationRange.clear();
            b.edit.clickRow = target;
            MoveClippedLines(b.session, Axis::Rows);
        };
    };
    measure(b, ("move " + std::to_string(m) + " clipped rows 50,000 rows down").c_str(), 3,
            move(last - 60000 - m, last - 10000));
    measure(b, ("move " + std::to_string(m) + " clipped rows, middle to end").c_str(), 3,
            move(last / 2, last));

    // A block of whole rows through the clip buffer and the clipboard text,
    // pasted near the end (the paste is what undo takes back).
    StringGrid copyGrid(1, 1);
    ScriptedClipboard clipboard;
    ClipStore clip{copyGrid, clipboard};
    const int k = std::min(100000, last / 4);
    b.host.selected = CellRange{2, 1, b.table.grid.colCount() - 1, k};
    const auto c0 = Clock::now();
    ClipSelection(b.session, clip, ClipKind::CellRange);
    std::printf("| %-44s | %10.3f | %10s |\n", ("clip " + std::to_string(k) + " rows").c_str(),
                ms(Clock::now() - c0), "-");
    measure(b, ("paste " + std::to_string(k) + " clipped rows near the end").c_str(), 3, [&] {
        b.host.setCurrentCell(2, last - k);
        PasteClip(b.session, clip, PasteOrigin::Cursor);
    });
    b.edit.clipKind = ClipKind::None; // the clipboard text, parsed
    measure(b, ("paste " + std::to_string(k) + " rows of clipboard text").c_str(), 3, [&] {
        b.host.setCurrentCell(2, last - k);
        PasteClip(b.session, clip, PasteOrigin::Cursor);
    });

    // What the history holds for deleted rows: their text and a constant.
    // Loaded rows lie in the load's chunks, which stay with the grid, so the
    // history's copies of them are new heap memory: text, offsets and the
    // lists' entries.
    const std::size_t before = mallinfo2().uordblks;
    b.edit.operationRange = CellRange{2, last / 2, b.table.grid.colCount() - 1, last / 2 + n - 1};
    b.edit.operationAxis = HeaderMode::RowHeader;
    DeleteLines(b.session, Axis::Rows);
    const std::size_t after = mallinfo2().uordblks;
    const std::size_t text = b.history.savedTextBytes();
    const std::size_t held = after - before;
    std::printf("\nundo memory for %d deleted rows: %zu bytes of text, %zu bytes held "
                "(%.1f bytes a row beyond the text)\n",
                n, text, held, (static_cast<double>(held) - static_cast<double>(text)) / n);
    return 0;
}
