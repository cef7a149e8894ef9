#include "search/SearchResults.h"

#include "search/SearchWords.h"
#include "table/StringGrid.h"
#include "text/TextHelpers.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

namespace {

constexpr int kProgressRows = 500;
constexpr std::string_view kHitMark = "*";

void shapeLike(StringGrid& grid, int cols, int rows, int fixedCols, int fixedRows) {
    grid.setColCount(cols);
    grid.setRowCount(rows);
    grid.clearCells();
    grid.setFixedCols(fixedCols);
    grid.setFixedRows(fixedRows);
}

// Both grids hold at least `rows` rows; growth doubles, so that adding one
// row per hit costs amortised constant time.
void ensureRows(StringGrid& results, StringGrid& hits, int rows) {
    if (rows <= results.rowCount()) return;
    const int grown = std::max(rows, results.rowCount() * 2);
    results.setRowCount(grown);
    hits.setRowCount(grown);
}

bool isHit(const StringGrid& hits, int col, int row) {
    return !TrimBlanks(hits.cell(col, row)).empty();
}

// Copies source row `row` behind its number and records its hit columns.
class ResultWriter {
public:
    ResultWriter(const StringGrid& source, StringGrid& results, StringGrid& hits)
        : source_(source), results_(results), hits_(hits) {}

    void add(int target, int found, int sourceRow, const std::vector<char>& hitCols) {
        const int cols = source_.colCount();
        number_ = std::to_string(found);
        rowText_ = std::to_string(sourceRow);
        cells_.assign(static_cast<std::size_t>(cols) + 1, std::string_view());
        cells_[0] = number_;
        for (int k = 0; k < cols; ++k)
            cells_[k + 1] = source_.cell(k, sourceRow);
        results_.setRow(target, cells_);
        std::fill(cells_.begin(), cells_.end(), std::string_view());
        cells_[0] = rowText_;
        for (int k = 0; k < cols && k < static_cast<int>(hitCols.size()); ++k)
            if (hitCols[k]) cells_[k + 1] = kHitMark;
        hits_.setRow(target, cells_);
    }

private:
    const StringGrid& source_;
    StringGrid& results_;
    StringGrid& hits_;
    std::string number_;
    std::string rowText_;
    std::vector<std::string_view> cells_;
};

} // namespace

void ClearResults(StringGrid& results, StringGrid& hits) {
    for (StringGrid* grid : {&results, &hits})
        shapeLike(*grid, 1, 1, 0, 0);
}

void LayoutResults(const StringGrid& source, StringGrid& results, StringGrid& hits) {
    const int cols = source.colCount() + 1;
    const int fixedRows = source.fixedRows();
    for (StringGrid* grid : {&results, &hits})
        shapeLike(*grid, cols, fixedRows + 1, source.fixedCols() + 1, fixedRows);
    std::vector<std::string_view> cells(static_cast<std::size_t>(cols));
    for (int r = 0; r < fixedRows; ++r) {
        cells[0] = r == fixedRows - 1 ? std::string_view("SEQ") : std::string_view();
        for (int k = 0; k + 1 < cols; ++k)
            cells[k + 1] = source.cell(k, r);
        results.setRow(r, cells);
    }
    for (int k = 0; k < cols; ++k) {
        const int width = source.colWidth(k == 0 ? 0 : k - 1);
        results.setColWidth(k, width);
        hits.setColWidth(k, width);
    }
    results.setDefaultRowHeight(source.defaultRowHeight());
    hits.setDefaultRowHeight(source.defaultRowHeight());
}

int RunSearch(const StringGrid& source, StringGrid& results, StringGrid& hits, WordMatcher& matcher,
              const SearchProgress& progress) {
    const StringGrid::Batch holdResults(results);
    const StringGrid::Batch holdHits(hits);
    const int firstRow = results.fixedRows();
    ResultWriter writer(source, results, hits);
    std::vector<char> hitCols;
    int found = 0;
    for (int r = source.fixedRows(); r < source.rowCount(); ++r) {
        if (r % kProgressRows == 0 && progress && !progress(r, found)) break;
        if (matcher.empty()) break;
        if (!matcher.MatchRow(source, r, hitCols)) continue;
        ++found;
        const int target = firstRow + found - 1;
        ensureRows(results, hits, target + 1);
        writer.add(target, found, r, hitCols);
    }
    const int rows = firstRow + std::max(found, 1);
    results.setRowCount(rows);
    hits.setRowCount(rows);
    return found;
}

std::optional<ResultCell> NextHit(const StringGrid& hits, ResultCell from, bool fromRowStart) {
    const int firstCol = hits.fixedCols();
    for (int row = std::max(from.row, hits.fixedRows()); row < hits.rowCount(); ++row) {
        const int start = row == from.row && !fromRowStart ? from.col + 1 : firstCol;
        for (int col = std::max(start, firstCol); col < hits.colCount(); ++col)
            if (isHit(hits, col, row)) return ResultCell{col, row};
    }
    return std::nullopt;
}

std::optional<ResultCell> PriorHit(const StringGrid& hits, ResultCell from) {
    const int firstCol = hits.fixedCols();
    for (int row = std::min(from.row, hits.rowCount() - 1); row >= hits.fixedRows(); --row) {
        const int start = row == from.row ? from.col - 1 : hits.colCount() - 1;
        for (int col = std::min(start, hits.colCount() - 1); col >= firstCol; --col)
            if (isHit(hits, col, row)) return ResultCell{col, row};
    }
    return std::nullopt;
}

std::optional<JumpTarget> JumpTargetOf(const StringGrid& hits, const StringGrid& source,
                                       ResultCell cell) {
    if (cell.col < hits.fixedCols() || cell.row < hits.fixedRows() || cell.col >= hits.colCount() ||
        cell.row >= hits.rowCount())
        return std::nullopt;
    const std::string_view text = TrimBlanks(hits.cell(0, cell.row));
    int row = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), row);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || row < 0 ||
        row > source.rowCount() - 1)
        return std::nullopt;
    JumpTarget target;
    target.row = row;
    target.topRow = row - 1 < source.fixedRows() ? row : row - 1;
    const int col = cell.col - 1;
    if (col < source.colCount()) {
        target.col = col;
        target.leftCol = col - 1 < source.fixedCols() ? col : col - 1;
    }
    return target;
}

} // namespace tabulix
