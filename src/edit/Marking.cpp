#include "edit/Marking.h"

#include "csv/CsvDialogRequests.h"
#include "csv/CsvWriter.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "table/Table.h"
#include "table/UserDialogs.h"

#include <algorithm>
#include <vector>

namespace tabulix {

namespace {

constexpr const char* kNoMarks = "現在、マーキングされたデータはありません。";

std::vector<int> chosen(int first, int count, const auto& isMarked) {
    std::vector<int> marked;
    for (int i = first; i < count; ++i)
        if (isMarked(i)) marked.push_back(i);
    if (!marked.empty()) return marked;
    std::vector<int> all;
    for (int i = first; i < count; ++i)
        all.push_back(i);
    return all;
}

} // namespace

void MarkRows(EditSession& s, MarkAction action) {
    StringGrid& g = s.table.grid;
    int first = g.fixedRows();
    int last = g.rowCount() - 1;
    if (action == MarkAction::ClearAll) {
        if (!s.dialogs.question("すべての 【 行 】のマーキングを解除します。\r\n\r\nよろしいですか？"))
            return;
    } else {
        const CellRange sel = s.host.selection().normalised();
        if (!sel.hasRows()) return;
        first = std::max(sel.top, g.fixedRows());
        last = sel.bottom;
    }
    s.table.rowRecords.resize(static_cast<std::size_t>(g.rowCount()));
    for (int r = first; r <= last && r < g.rowCount(); ++r)
        s.table.rowRecords[static_cast<std::size_t>(r)].marked = action == MarkAction::Set;
    s.host.repaint();
}

void MarkColumns(EditSession& s, MarkAction action) {
    StringGrid& g = s.table.grid;
    int first = kFirstDataCol;
    int last = g.colCount() - 1;
    if (action == MarkAction::ClearAll) {
        if (!s.dialogs.question("すべての 【 列 】 のマーキングを解除します。\r\n\r\nよろしいですか？"))
            return;
    } else {
        const CellRange sel = s.host.selection().normalised();
        if (!sel.hasColumns()) return;
        first = std::max(sel.left, kFirstDataCol);
        last = sel.right;
    }
    s.table.colRecords.resize(static_cast<std::size_t>(g.colCount()));
    for (int c = first; c <= last && c < g.colCount(); ++c)
        s.table.colRecords[static_cast<std::size_t>(c)].marked = action == MarkAction::Set;
    RecountMarkedColumns(s.table);
    s.host.repaint();
}

void FlipRowMark(Table& table, int row) {
    if (row < table.grid.fixedRows() || row >= table.grid.rowCount()) return;
    table.rowRecords.resize(static_cast<std::size_t>(table.grid.rowCount()));
    bool& marked = table.rowRecords[static_cast<std::size_t>(row)].marked;
    marked = !marked;
}

void FlipColumnMark(Table& table, int col) {
    if (col < kFirstDataCol || col >= table.grid.colCount()) return;
    table.colRecords.resize(static_cast<std::size_t>(table.grid.colCount()));
    bool& marked = table.colRecords[static_cast<std::size_t>(col)].marked;
    marked = !marked;
    RecountMarkedColumns(table);
}

void RecountMarkedColumns(Table& table) {
    table.markedColCount = static_cast<int>(
        std::count_if(table.colRecords.begin(), table.colRecords.end(),
                      [](const ColumnRecord& r) { return r.marked; }));
}

bool BuildMarkedData(const Table& table, StringGrid& work) {
    const StringGrid& g = table.grid;
    const auto rowMarked = [&](int r) {
        return r < static_cast<int>(table.rowRecords.size()) &&
               table.rowRecords[static_cast<std::size_t>(r)].marked;
    };
    const auto colMarked = [&](int c) {
        return c < static_cast<int>(table.colRecords.size()) &&
               table.colRecords[static_cast<std::size_t>(c)].marked;
    };
    bool any = false;
    for (int r = g.fixedRows(); r < g.rowCount() && !any; ++r)
        any = rowMarked(r);
    for (int c = kFirstDataCol; c < g.colCount() && !any; ++c)
        any = colMarked(c);
    if (!any) return false;

    std::vector<int> rows;
    for (int r = 0; r < g.fixedRows(); ++r)
        rows.push_back(r);
    for (const int r : chosen(g.fixedRows(), g.rowCount(), rowMarked))
        rows.push_back(r);
    std::vector<int> cols{0, 1};
    for (const int c : chosen(kFirstDataCol, g.colCount(), colMarked))
        cols.push_back(c);

    StringGrid out(static_cast<int>(cols.size()), static_cast<int>(rows.size()));
    out.setFixedCols(std::min(g.fixedCols(), out.colCount() - 1));
    out.setFixedRows(std::min(g.fixedRows(), out.rowCount() - 1));
    out.setDefaultRowHeight(g.defaultRowHeight());
    for (std::size_t c = 0; c < cols.size(); ++c)
        out.setColWidth(static_cast<int>(c), g.colWidth(cols[c]));
    std::vector<std::string_view> cells(cols.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out.setRowHeight(static_cast<int>(r), g.rowHeight(rows[r]));
        for (std::size_t c = 0; c < cols.size(); ++c)
            cells[c] = g.cell(cols[c], rows[r]);
        out.setRow(static_cast<int>(r), std::span<const std::string_view>(cells));
    }
    work = std::move(out);
    return true;
}

void SaveMarkedData(EditSession& s, StringGrid& work, std::string& pathSelectFile,
                    const std::string& pathEditFile, const std::string& programFolder,
                    TextEncoding encoding) {
    if (!BuildMarkedData(s.table, work)) {
        s.dialogs.information(kNoMarks);
        return;
    }
    FileDialogRequest request = SaveCsvRequest(pathSelectFile, pathEditFile, programFolder);
    request.title = "マーキングされたデータを指定のファイル名で保存します。";
    const std::optional<std::string> path = s.dialogs.saveFile(request);
    if (path && !path->empty()) {
        s.host.setBusy(true);
        pathSelectFile = WithCsvExtension(*path);
        const WriteTableResult result =
            WriteTable(work, pathSelectFile, s.host.separator(), encoding);
        s.host.setBusy(false);
        if (result != WriteTableResult::Ok) s.dialogs.information("出力ファイルの作成に失敗しました。");
    }
    work = StringGrid(1, 1);
}

} // namespace tabulix
