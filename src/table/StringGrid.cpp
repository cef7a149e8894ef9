#include "table/StringGrid.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <malloc.h>
#include <new>
#include <stdexcept>
#include <utility>

namespace tabulix {

// A row block is raw malloc'ed memory laid out as 32-bit words: the cell
// count, then one end offset per cell, then the text bytes of all cells. The
// struct only names the first word; the rest is reached through words().
struct StringGrid::RowBlock {
    std::uint32_t count;
};

namespace {

constexpr std::size_t kWord = sizeof(std::uint32_t);

const std::uint32_t* ends(const void* block) {
    return static_cast<const std::uint32_t*>(block) + 1;
}

std::size_t blockSize(std::uint32_t count, std::uint32_t textBytes) {
    return kWord * (1 + std::size_t{count}) + textBytes;
}

int clampCount(int count) {
    return std::max(0, count);
}

// Moves element `from` of `v` so that it ends up at index `to`.
template <typename T> void moveElement(std::vector<T>& v, int from, int to) {
    auto first = v.begin();
    if (from < to)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
}

} // namespace

void StringGrid::RowBlockDeleter::operator()(RowBlock* block) const noexcept {
    std::free(block);
}

// ---- row blocks -------------------------------------------------------------

StringGrid::RowPtr StringGrid::makeRow(std::span<const std::string_view> texts) {
    std::size_t count = texts.size();
    while (count > 0 && texts[count - 1].empty())
        --count;
    if (count == 0) return RowPtr();

    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        bytes += texts[i].size();
    // Offsets are 32-bit; no real row comes near 4 GiB of text.
    if (bytes > std::numeric_limits<std::uint32_t>::max() ||
        count > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("StringGrid: row too long");

    const auto n = static_cast<std::uint32_t>(count);
    void* memory = std::malloc(blockSize(n, static_cast<std::uint32_t>(bytes)));
    if (!memory) throw std::bad_alloc();
    auto* words = static_cast<std::uint32_t*>(memory);
    words[0] = n;
    char* text = reinterpret_cast<char*>(words + 1 + n);
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!texts[i].empty()) std::memcpy(text + end, texts[i].data(), texts[i].size());
        end += static_cast<std::uint32_t>(texts[i].size());
        words[1 + i] = end;
    }
    return RowPtr(static_cast<RowBlock*>(memory));
}

StringGrid::RowPtr StringGrid::copyRow(const RowBlock* block) {
    if (!block) return RowPtr();
    const std::uint32_t n = block->count;
    const std::size_t size = blockSize(n, ends(block)[n - 1]);
    void* memory = std::malloc(size);
    if (!memory) throw std::bad_alloc();
    std::memcpy(memory, block, size);
    return RowPtr(static_cast<RowBlock*>(memory));
}

int StringGrid::blockCellCount(const RowBlock* block) {
    return block ? static_cast<int>(block->count) : 0;
}

std::string_view StringGrid::blockCell(const RowBlock* block, int col) {
    if (!block || col < 0 || static_cast<std::uint32_t>(col) >= block->count) return {};
    const std::uint32_t* end = ends(block);
    const char* text = reinterpret_cast<const char*>(end + block->count);
    const std::uint32_t begin = col == 0 ? 0 : end[col - 1];
    return std::string_view(text + begin, end[col] - begin);
}

std::size_t StringGrid::blockTextBytes(const RowBlock* block) {
    return block ? ends(block)[block->count - 1] : 0;
}

void StringGrid::readRow(const RowBlock* block, std::vector<std::string_view>& out) {
    const int count = blockCellCount(block);
    out.resize(count);
    for (int col = 0; col < count; ++col)
        out[col] = blockCell(block, col);
}

void StringGrid::editRows(int firstCol, const CellEdit& edit) {
    std::vector<std::string_view> cells;
    for (RowPtr& row : rows_) {
        if (blockCellCount(row.get()) <= firstCol) continue;
        readRow(row.get(), cells);
        edit(cells);
        row = makeRow(cells); // the views point into the old block, still alive here
    }
}

// ---- construction -----------------------------------------------------------

// The sizes are filled in the body: the defaults are declared after the arrays.
StringGrid::StringGrid(int colCount, int rowCount) : rows_(clampCount(rowCount)) {
    rowHeights_.assign(rows_.size(), defaultRowHeight_);
    colWidths_.assign(clampCount(colCount), defaultColWidth_);
    clampFixed();
}

StringGrid::~StringGrid() = default;

StringGrid::StringGrid(const StringGrid& other)
    : rowHeights_(other.rowHeights_), colWidths_(other.colWidths_), fixedCols_(other.fixedCols_),
      fixedRows_(other.fixedRows_), defaultColWidth_(other.defaultColWidth_),
      defaultRowHeight_(other.defaultRowHeight_) {
    rows_.reserve(other.rows_.size());
    for (const RowPtr& row : other.rows_)
        rows_.push_back(copyRow(row.get()));
}

// The listener belongs to the object (the widget showing this grid), so it
// stays where it is on assignment and is told that everything changed.
StringGrid& StringGrid::operator=(const StringGrid& other) {
    if (this == &other) return *this;
    StringGrid copy(other);
    swapData(copy);
    notify(Change::Geometry);
    return *this;
}

StringGrid::StringGrid(StringGrid&& other) noexcept : StringGrid(0, 0) {
    swapData(other);
}

StringGrid& StringGrid::operator=(StringGrid&& other) noexcept {
    if (this == &other) return *this;
    StringGrid taken(std::move(other));
    swapData(taken);
    notify(Change::Geometry);
    return *this;
}

void StringGrid::swapData(StringGrid& other) noexcept {
    using std::swap;
    swap(rows_, other.rows_);
    swap(rowHeights_, other.rowHeights_);
    swap(colWidths_, other.colWidths_);
    swap(fixedCols_, other.fixedCols_);
    swap(fixedRows_, other.fixedRows_);
    swap(defaultColWidth_, other.defaultColWidth_);
    swap(defaultRowHeight_, other.defaultRowHeight_);
    swap(rowTree_, other.rowTree_);
    swap(rowTreeValid_, other.rowTreeValid_);
    swap(colLefts_, other.colLefts_);
    swap(colLeftsValid_, other.colLeftsValid_);
}

void StringGrid::setChangeListener(ChangeListener listener) {
    listener_ = std::move(listener);
}

void StringGrid::notify(Change change) const {
    if (batchDepth_ > 0) {
        (change == Change::Geometry ? pendingGeometry_ : pendingCells_) = true;
        return;
    }
    if (listener_) listener_(change);
}

StringGrid::Batch::Batch(StringGrid& grid) : grid_(grid) { ++grid_.batchDepth_; }

StringGrid::Batch::~Batch() {
    if (--grid_.batchDepth_ > 0) return;
    const bool geometry = std::exchange(grid_.pendingGeometry_, false);
    const bool cells = std::exchange(grid_.pendingCells_, false);
    if (geometry)
        grid_.notify(Change::Geometry);
    else if (cells)
        grid_.notify(Change::Cells);
}

// ---- counts -----------------------------------------------------------------

void StringGrid::clampFixed() {
    fixedCols_ = std::clamp(fixedCols_, 0, std::max(0, colCount() - 1));
    fixedRows_ = std::clamp(fixedRows_, 0, std::max(0, rowCount() - 1));
}

void StringGrid::setColCount(int count) {
    count = clampCount(count);
    if (count == colCount()) return;
    if (count < colCount())
        editRows(count, [count](std::vector<std::string_view>& cells) { cells.resize(count); });
    colWidths_.resize(count, defaultColWidth_);
    clampFixed();
    invalidateColIndex();
    notify(Change::Geometry);
}

void StringGrid::setRowCount(int count) {
    count = clampCount(count);
    if (count == rowCount()) return;
    rows_.resize(count);
    rowHeights_.resize(count, defaultRowHeight_);
    clampFixed();
    invalidateRowIndex();
    notify(Change::Geometry);
}

void StringGrid::setFixedCols(int count) {
    const int old = fixedCols_;
    fixedCols_ = count;
    clampFixed();
    if (fixedCols_ != old) notify(Change::Geometry);
}

void StringGrid::setFixedRows(int count) {
    const int old = fixedRows_;
    fixedRows_ = count;
    clampFixed();
    if (fixedRows_ != old) notify(Change::Geometry);
}

// ---- cells ------------------------------------------------------------------

std::string_view StringGrid::cell(int col, int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return blockCell(rows_[row].get(), col);
}

void StringGrid::setCell(int col, int row, std::string_view text) {
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount()) return;
    RowPtr& block = rows_[row];
    if (blockCell(block.get(), col) == text) return;
    std::vector<std::string_view> cells;
    readRow(block.get(), cells);
    if (static_cast<int>(cells.size()) <= col) cells.resize(col + 1);
    cells[col] = text;
    block = makeRow(cells);
    notify(Change::Cells);
}

void StringGrid::setRow(int row, std::span<const std::string> texts) {
    const std::size_t count = std::min(texts.size(), static_cast<std::size_t>(colCount()));
    std::vector<std::string_view> views(texts.begin(), texts.begin() + count);
    setRow(row, std::span<const std::string_view>(views));
}

void StringGrid::setRow(int row, std::span<const std::string_view> texts) {
    if (row < 0 || row >= rowCount()) return;
    rows_[row] = makeRow(texts.first(std::min(texts.size(), static_cast<std::size_t>(colCount()))));
    notify(Change::Cells);
}

bool StringGrid::rowIsEmpty(int row) const {
    // Blocks never end in an empty cell, so a stored block has text.
    return row < 0 || row >= rowCount() || !rows_[row];
}

void StringGrid::clearCells() {
    for (RowPtr& row : rows_)
        row.reset();
    notify(Change::Cells);
}

// ---- sizes ------------------------------------------------------------------

int StringGrid::colWidth(int col) const {
    return col >= 0 && col < colCount() ? colWidths_[col] : 0;
}

void StringGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount()) return;
    width = std::max(0, width);
    if (colWidths_[col] == width) return;
    colWidths_[col] = width;
    invalidateColIndex();
    notify(Change::Geometry);
}

int StringGrid::rowHeight(int row) const {
    return row >= 0 && row < rowCount() ? rowHeights_[row] : 0;
}

void StringGrid::setRowHeight(int row, int height) {
    if (row < 0 || row >= rowCount()) return;
    height = std::max(0, height);
    const std::int64_t delta = std::int64_t{height} - rowHeights_[row];
    if (delta == 0) return;
    rowHeights_[row] = height;
    if (rowTreeValid_) {
        const std::size_t n = rowHeights_.size();
        for (std::size_t i = row + 1; i <= n; i += i & (~i + 1))
            rowTree_[i] += delta;
    }
    notify(Change::Geometry);
}

void StringGrid::setDefaultColWidth(int width) {
    defaultColWidth_ = std::max(0, width);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    invalidateColIndex();
    notify(Change::Geometry);
}

void StringGrid::setDefaultRowHeight(int height) {
    defaultRowHeight_ = std::max(0, height);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    invalidateRowIndex();
    notify(Change::Geometry);
}

// ---- row geometry -----------------------------------------------------------

void StringGrid::invalidateRowIndex() {
    rowTreeValid_ = false;
}

// Tree slot i (1-based) holds the sum of the heights of rows (i - lowbit(i), i].
void StringGrid::ensureRowIndex() const {
    if (rowTreeValid_) return;
    const std::size_t n = rowHeights_.size();
    rowTree_.resize(n + 1);
    rowTree_[0] = 0;
    for (std::size_t i = 1; i <= n; ++i)
        rowTree_[i] = rowHeights_[i - 1];
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t parent = i + (i & (~i + 1));
        if (parent <= n) rowTree_[parent] += rowTree_[i];
    }
    rowTreeValid_ = true;
}

std::int64_t StringGrid::rowTop(int row) const {
    ensureRowIndex();
    std::size_t i = static_cast<std::size_t>(std::clamp(row, 0, rowCount()));
    std::int64_t sum = 0;
    for (; i > 0; i &= i - 1)
        sum += rowTree_[i];
    return sum;
}

std::int64_t StringGrid::totalHeight() const {
    return rowTop(rowCount());
}

int StringGrid::rowAt(std::int64_t y) const {
    if (y < 0) return -1;
    ensureRowIndex();
    // Descend to the largest count of leading rows whose heights sum to <= y;
    // the next row then starts at or before y and ends after it, so it is
    // never a row of height 0.
    const std::size_t n = rowHeights_.size();
    std::size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    std::size_t pos = 0;
    for (; n > 0 && step > 0; step /= 2) {
        if (pos + step <= n && rowTree_[pos + step] <= y) {
            pos += step;
            y -= rowTree_[pos];
        }
    }
    return pos < n ? static_cast<int>(pos) : -1;
}

// ---- column geometry --------------------------------------------------------

void StringGrid::invalidateColIndex() {
    colLeftsValid_ = false;
}

void StringGrid::ensureColIndex() const {
    if (colLeftsValid_) return;
    colLefts_.resize(colWidths_.size() + 1);
    colLefts_[0] = 0;
    for (std::size_t i = 0; i < colWidths_.size(); ++i)
        colLefts_[i + 1] = colLefts_[i] + colWidths_[i];
    colLeftsValid_ = true;
}

std::int64_t StringGrid::colLeft(int col) const {
    ensureColIndex();
    return colLefts_[std::clamp(col, 0, colCount())];
}

std::int64_t StringGrid::totalWidth() const {
    return colLeft(colCount());
}

int StringGrid::colAt(std::int64_t x) const {
    if (x < 0) return -1;
    ensureColIndex();
    // The last edge <= x: the column after it starts at or before x and ends
    // after it, so it has a width.
    const auto after = std::upper_bound(colLefts_.begin(), colLefts_.end(), x);
    const int col = static_cast<int>(after - colLefts_.begin()) - 1;
    return col < colCount() ? col : -1;
}

// ---- structure --------------------------------------------------------------

void StringGrid::insertRows(int at, int count) {
    if (count <= 0 || at < 0 || at > rowCount()) return;
    // Empty rows are null handles; make room at the end and rotate them in.
    const std::size_t oldSize = rows_.size();
    rows_.resize(oldSize + static_cast<std::size_t>(count));
    std::rotate(rows_.begin() + at, rows_.begin() + static_cast<std::ptrdiff_t>(oldSize),
                rows_.end());
    rowHeights_.insert(rowHeights_.begin() + at, static_cast<std::size_t>(count),
                       defaultRowHeight_);
    invalidateRowIndex();
    notify(Change::Geometry);
}

void StringGrid::deleteRows(int at, int count) {
    if (at < 0 || at >= rowCount() || count <= 0) return;
    count = std::min(count, rowCount() - at);
    rows_.erase(rows_.begin() + at, rows_.begin() + at + count);
    rowHeights_.erase(rowHeights_.begin() + at, rowHeights_.begin() + at + count);
    clampFixed();
    invalidateRowIndex();
    notify(Change::Geometry);
}

void StringGrid::insertCols(int at, int count) {
    if (count <= 0 || at < 0 || at > colCount()) return;
    editRows(at, [at, count](std::vector<std::string_view>& cells) {
        cells.insert(cells.begin() + at, static_cast<std::size_t>(count), std::string_view());
    });
    colWidths_.insert(colWidths_.begin() + at, static_cast<std::size_t>(count), defaultColWidth_);
    invalidateColIndex();
    notify(Change::Geometry);
}

void StringGrid::deleteCols(int at, int count) {
    if (at < 0 || at >= colCount() || count <= 0) return;
    count = std::min(count, colCount() - at);
    editRows(at, [at, count](std::vector<std::string_view>& cells) {
        const int last = std::min(at + count, static_cast<int>(cells.size()));
        cells.erase(cells.begin() + at, cells.begin() + last);
    });
    colWidths_.erase(colWidths_.begin() + at, colWidths_.begin() + at + count);
    clampFixed();
    invalidateColIndex();
    notify(Change::Geometry);
}

void StringGrid::moveRow(int from, int to) {
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to) return;
    moveElement(rows_, from, to);
    moveElement(rowHeights_, from, to);
    invalidateRowIndex();
    notify(Change::Geometry);
}

void StringGrid::moveCol(int from, int to) {
    if (from < 0 || from >= colCount() || to < 0 || to >= colCount() || from == to) return;
    const int span = std::max(from, to) + 1;
    editRows(std::min(from, to), [from, to, span](std::vector<std::string_view>& cells) {
        if (static_cast<int>(cells.size()) < span) cells.resize(span);
        moveElement(cells, from, to);
    });
    moveElement(colWidths_, from, to);
    invalidateColIndex();
    notify(Change::Geometry);
}

// ---- accounting -------------------------------------------------------------

std::size_t StringGrid::overheadBytes() const {
    std::size_t bytes = 0;
    for (const RowPtr& row : rows_) {
        if (!row) continue;
        // The allocator's chunk header sits in front of the usable bytes.
        bytes += malloc_usable_size(row.get()) + sizeof(std::size_t) - blockTextBytes(row.get());
    }
    bytes += rows_.capacity() * sizeof(RowPtr);
    bytes += rowHeights_.capacity() * sizeof(int);
    bytes += colWidths_.capacity() * sizeof(int);
    bytes += rowTree_.capacity() * sizeof(std::int64_t);
    bytes += colLefts_.capacity() * sizeof(std::int64_t);
    return bytes;
}

std::size_t StringGrid::textBytes() const {
    std::size_t bytes = 0;
    for (const RowPtr& row : rows_)
        bytes += blockTextBytes(row.get());
    return bytes;
}

} // namespace tabulix
