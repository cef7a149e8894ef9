#include "edit/PrintWork.h"

#include "table/Table.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <charconv>

namespace tabulix {

namespace {

// An empty grid shaped like `grid`: its fixed counts and default height.
StringGrid shapedLike(const StringGrid& grid, int cols, int rows) {
    StringGrid work(std::max(cols, 1), std::max(rows, 1));
    work.setDefaultRowHeight(grid.defaultRowHeight());
    work.setFixedCols(std::min(grid.fixedCols(), work.colCount() - 1));
    work.setFixedRows(std::min(grid.fixedRows(), work.rowCount() - 1));
    return work;
}

void copyRow(const StringGrid& grid, int from, StringGrid& work, int to) {
    std::vector<std::string_view> cells(static_cast<std::size_t>(grid.colCount()));
    for (int c = 0; c < grid.colCount(); ++c)
        cells[static_cast<std::size_t>(c)] = grid.cell(c, from);
    work.setRow(to, std::span<const std::string_view>(cells));
    work.setRowHeight(to, grid.rowHeight(from));
}

// The table column a work column shows, by the column number in row 0.
int tableColumnOf(const StringGrid& work, int col) {
    const std::string digits = DigitsOnly(work.cell(col, 0));
    int n = 0;
    if (digits.empty() || std::from_chars(digits.data(), digits.data() + digits.size(), n).ec != std::errc())
        return -1;
    return n + kFirstDataCol - 1;
}

} // namespace

int PrintWidthForText(std::string_view text, double charWidth) {
    return static_cast<int>(charWidth * static_cast<double>(cellDisplayUnits(TrimBlanks(text)) + 2));
}

void BuildTextDocumentWork(std::string_view text, StringGrid& work) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(" " + std::string(text.substr(start, i - start)));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size() || lines.empty()) lines.push_back(" " + std::string(text.substr(start)));
    StringGrid grid(1, static_cast<int>(std::max<std::size_t>(lines.size(), 1)));
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    for (std::size_t r = 0; r < lines.size(); ++r)
        grid.setCell(0, static_cast<int>(r), lines[r]);
    work = std::move(grid);
}

PrintTitles TablePrintTitles(const std::string& path) {
    return {"File.Name:  " + std::string(TrimBlanks(path)), "", "", ""};
}

PrintTitles SingleRowPrintTitles(const std::string& path, int shownRow) {
    PrintTitles titles = TablePrintTitles(path);
    titles[1] = "  行No.  :  " + std::to_string(shownRow);
    return titles;
}

void PreparePrintWidths(Table& table, double charWidth, bool fixedColumnShown) {
    StringGrid& g = table.grid;
    table.colRecords.resize(static_cast<std::size_t>(g.colCount()));
    for (int c = 0; c < g.colCount(); ++c) {
        ColumnRecord& record = table.colRecords[static_cast<std::size_t>(c)];
        record.savedWidth = g.colWidth(c);
        if (!record.visible) g.setColWidth(c, 0);
    }
    g.setColWidth(0, PrintWidthForText(g.cell(0, g.rowCount() - 1), charWidth));
    if (!fixedColumnShown && g.colCount() > 1) g.setColWidth(1, 0);
}

void RestorePrintWidths(Table& table) {
    StringGrid& g = table.grid;
    for (int c = 0; c < g.colCount() && c < static_cast<int>(table.colRecords.size()); ++c)
        g.setColWidth(c, table.colRecords[static_cast<std::size_t>(c)].savedWidth);
}

void BuildRowsWork(const StringGrid& grid, const std::vector<int>& rows, StringGrid& work) {
    const int fixed = grid.fixedRows();
    StringGrid out = shapedLike(grid, grid.colCount(), static_cast<int>(rows.size()) + 2 * fixed);
    int next = 0;
    for (; next < fixed; ++next)
        copyRow(grid, next, out, next);
    for (const int r : rows)
        if (r >= fixed && r < grid.rowCount()) copyRow(grid, r, out, next++);
    out.setRowCount(std::max(next, 1));
    for (int c = 0; c < grid.colCount(); ++c)
        out.setColWidth(c, grid.colWidth(c));
    work = std::move(out);
}

void BuildColumnsWork(const StringGrid& grid, const std::vector<int>& cols, StringGrid& work) {
    const int fixed = grid.fixedCols();
    std::vector<int> kept;
    for (int c = 0; c < fixed; ++c)
        kept.push_back(c);
    for (const int c : cols)
        if (c >= fixed && c < grid.colCount()) kept.push_back(c);
    StringGrid out = shapedLike(grid, static_cast<int>(kept.size()), grid.rowCount());
    std::vector<std::string_view> cells(kept.size());
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (std::size_t i = 0; i < kept.size(); ++i)
            cells[i] = grid.cell(kept[i], r);
        out.setRow(r, std::span<const std::string_view>(cells));
        out.setRowHeight(r, grid.rowHeight(r));
    }
    for (std::size_t i = 0; i < kept.size(); ++i)
        out.setColWidth(static_cast<int>(i), grid.colWidth(kept[i]));
    work = std::move(out);
}

void BuildRangeWork(const StringGrid& grid, int left, int top, int right, int bottom,
                    StringGrid& work) {
    std::vector<int> rows;
    for (int r = top; r <= bottom; ++r)
        rows.push_back(r);
    std::vector<int> cols;
    for (int c = left; c <= right; ++c)
        cols.push_back(c);
    StringGrid byRows;
    BuildRowsWork(grid, rows, byRows);
    BuildColumnsWork(byRows, cols, work);
}

void BuildSingleRowWork(const StringGrid& vert, StringGrid& work, double charWidth) {
    work = vert;
    for (int c = 0; c < work.colCount(); ++c) {
        std::size_t longest = 0;
        for (int r = 0; r < work.rowCount(); ++r)
            longest = std::max(longest, cellDisplayUnits(TrimBlanks(work.cell(c, r))));
        const int wanted = static_cast<int>(charWidth * static_cast<double>(longest + 2));
        if (wanted < work.colWidth(c)) work.setColWidth(c, wanted);
    }
}

void PrepareWorkForPrint(StringGrid& work, const Table& table, double charWidth,
                         bool fixedColumnShown) {
    work.setColWidth(0, PrintWidthForText(work.cell(0, work.rowCount() - 1), charWidth));
    if (!fixedColumnShown && work.colCount() > 1) work.setColWidth(1, 0);
    for (int c = kFirstDataCol; c < work.colCount(); ++c) {
        const int source = tableColumnOf(work, c);
        if (source >= 0 && source < static_cast<int>(table.colRecords.size()) &&
            !table.colRecords[static_cast<std::size_t>(source)].visible)
            work.setColWidth(c, 0);
    }
}

} // namespace tabulix
