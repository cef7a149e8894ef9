#include "table/StringGrid.h"

#include "table/RowNumberTexts.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <malloc.h>
#include <new>
#include <stdexcept>
#include <sys/mman.h>
#include <system_error>
#include <thread>
#include <utility>

namespace tabulix {

// A row block is raw memory: a 32-bit header word, then one end offset per
// cell, then the text bytes of all cells. The offsets are as narrow as the
// row's text allows (1, 2 or 4 bytes each), as they are most of the memory a
// row of short texts takes. The header holds the cell count, whether a text
// holds a control character, the offsets' width and, in its top bit, the
// mark of a block carved from the arena, which must never reach free(). The struct only names the
// header.
struct StringGrid::RowBlock {
    std::uint32_t header;
};

namespace {

constexpr std::size_t kWord = sizeof(std::uint32_t);
constexpr std::uint32_t kArenaMark = 0x80000000u;
constexpr int kWidthShift = 29; // two bits: log2 of the offsets' width
// Set when a text of the row holds a control character (below the blank).
constexpr std::uint32_t kControlMark = 1u << 28;
constexpr std::uint32_t kCountMask = kControlMark - 1;
static_assert(StringGrid::kMaxRowCells == kCountMask);

constexpr std::size_t kLargePage = std::size_t{2} << 20;
// Rows per block of the row index.
constexpr int kRowBlockShift = 6;
constexpr std::size_t kRowBlock = std::size_t{1} << kRowBlockShift;
constexpr std::size_t kFirstChunk = std::size_t{4} << 20;
// Smaller fills are over before a helper thread would pay off.
constexpr std::size_t kPrefaultFrom = std::size_t{16} << 20;

std::uint32_t headerOf(const void* block) {
    return *static_cast<const std::uint32_t*>(block);
}

std::uint32_t cellsIn(const void* block) {
    return headerOf(block) & kCountMask;
}

unsigned widthLog(const void* block) {
    return (headerOf(block) >> kWidthShift) & 3u;
}

unsigned widthLogFor(std::uint64_t textBytes) {
    return textBytes <= 0xFF ? 0 : textBytes <= 0xFFFF ? 1 : 2;
}

const unsigned char* offsetsOf(const void* block) {
    return static_cast<const unsigned char*>(block) + kWord;
}

// The end offset of cell i (its text ends there; the next one starts there).
std::uint32_t endAt(const unsigned char* offsets, unsigned log, std::size_t i) {
    if (log == 0) return offsets[i];
    if (log == 1) {
        std::uint16_t end;
        std::memcpy(&end, offsets + 2 * i, sizeof end);
        return end;
    }
    std::uint32_t end;
    std::memcpy(&end, offsets + 4 * i, sizeof end);
    return end;
}

// Cell i of a block with n offsets of type Offset; one straight path per
// width, as cell reads are the inner loop of whole-table work.
template <typename Offset>
std::string_view cellOf(const unsigned char* offsets, std::uint32_t n, std::uint32_t i) {
    Offset begin = 0;
    Offset end;
    if (i > 0) std::memcpy(&begin, offsets + (i - 1) * sizeof(Offset), sizeof(Offset));
    std::memcpy(&end, offsets + i * sizeof(Offset), sizeof(Offset));
    const char* text = reinterpret_cast<const char*>(offsets + std::size_t{n} * sizeof(Offset));
    return std::string_view(text + begin, static_cast<std::size_t>(end - begin));
}

// Most cells are short: fixed-size moves that the compiler inlines beat a
// call to memcpy for each.
[[gnu::always_inline]] inline void copyText(char* to, std::string_view text) {
    const char* from = text.data();
    const std::size_t n = text.size();
    if (n >= 8 && n <= 16) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        std::memcpy(to, from, 4);
        std::memcpy(to + n - 4, from + n - 4, 4);
    } else if (n < 4) {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, n);
    }
}

// Writes the texts one after the other and each one's end offset: one
// straight loop per offset width, as a load writes every cell through it.
template <typename Offset>
std::uint32_t writeCells(unsigned char* offsets, char* text,
                         std::span<const std::string_view> texts) {
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        copyText(text + end, texts[i]);
        end += static_cast<std::uint32_t>(texts[i].size());
        const auto narrow = static_cast<Offset>(end);
        std::memcpy(offsets + i * sizeof(Offset), &narrow, sizeof(Offset));
    }
    return end;
}

// Every cell of a block in one pass over its offsets.
template <typename Offset>
void cellsOf(const unsigned char* offsets, std::uint32_t n, std::string_view* out) {
    const char* text = reinterpret_cast<const char*>(offsets + std::size_t{n} * sizeof(Offset));
    Offset begin = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        Offset end;
        std::memcpy(&end, offsets + i * sizeof(Offset), sizeof(Offset));
        out[i] = std::string_view(text + begin, static_cast<std::size_t>(end - begin));
        begin = end;
    }
}

std::size_t blockSize(std::uint32_t count, unsigned log, std::uint32_t textBytes) {
    return kWord + (std::size_t{count} << log) + textBytes;
}

std::uint32_t textBytesOf(const void* block) {
    return endAt(offsetsOf(block), widthLog(block), cellsIn(block) - 1);
}

// Whether a byte below 0x20 occurs, eight bytes at a time: it runs on the
// text just copied into a new row, while it is still in the cache.
bool hasControlByte(const char* text, std::size_t size) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        // A high bit survives for a byte below 0x20 (bytes from 0x80 up are
        // excluded by ~word).
        if (((word - kOnes * 0x20) & ~word & kHighs) != 0) return true;
    }
    for (; i < size; ++i)
        if (static_cast<unsigned char>(text[i]) < 0x20) return true;
    return false;
}

std::size_t roundUp(std::size_t n, std::size_t unit) {
    return (n + unit - 1) / unit * unit;
}

int clampCount(int count) {
    return std::max(0, count);
}

// Makes room for `count` elements. A large growth (a load) makes the fresh
// pages resident in one call instead of one fault per page on first use.
template <typename T> void reserveResident(std::vector<T>& v, std::size_t count) {
    if (count <= v.capacity()) return;
    v.reserve(count);
    constexpr std::uintptr_t kPage = 4096;
    const auto from = reinterpret_cast<std::uintptr_t>(v.data() + v.size());
    const auto to = reinterpret_cast<std::uintptr_t>(v.data() + v.capacity());
    const std::uintptr_t first = (from + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t last = to & ~(kPage - 1);
    if (last > first && last - first >= kLargePage)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
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
    // A carved block is simply forgotten; its chunk goes with the arena.
    if (!inArena(block)) std::free(block);
}

// ---- arena ------------------------------------------------------------------

// The chunks that bulk-filled row blocks are carved from, one after another.
// First touching fresh memory is costly per small page (on virtual machines
// most of all), so a chunk asks for large pages and is made resident in
// large-page steps ahead of the carving. During a bulk fill a helper thread
// does that for the whole expected size on the other core, and the unused
// end of the chunk is given back when the fill ends.
class StringGrid::Arena {
public:
    Arena() = default;
    ~Arena() {
        stopPrefault();
        for (const Chunk& chunk : chunks_)
            ::munmap(chunk.base, chunk.size);
    }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    std::size_t residentBytes() const { return resident_; }

    void* allocate(std::size_t bytes) {
        bytes = roundUp(bytes, kWord);
        if (static_cast<std::size_t>(end_ - next_) < bytes) {
            // Geometric growth keeps the chunks few without a good estimate.
            const std::size_t last = chunks_.empty() ? 0 : chunks_.back().size;
            startChunk(std::max({kFirstChunk, 2 * last, bytes}));
        }
        void* block = next_;
        next_ += bytes;
        if (next_ > residentEnd_) makeResident();
        return block;
    }

    void beginFill(std::size_t expectedBytes, bool prefaultAlongside) {
        startChunk(std::max(kFirstChunk, expectedBytes));
        if (!prefaultAlongside || expectedBytes < kPrefaultFrom) return;
        stop_.store(false);
        try {
            prefault_ = std::thread(&Arena::prefault, this, chunks_.back());
        } catch (const std::system_error&) {
            // No thread: the fill makes its pages resident itself.
        }
    }

    void endFill() { trimLast(); }

private:
    struct Chunk {
        char* base;
        std::size_t size;
    };

    void startChunk(std::size_t size) {
        trimLast();
        size = roundUp(size, kLargePage);
        chunks_.reserve(chunks_.size() + 1);
        // One large page more than needed, to start the chunk on a boundary.
        const std::size_t mapped = size + kLargePage;
        void* raw =
            ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        char* const begin = static_cast<char*>(raw);
        const auto address = reinterpret_cast<std::uintptr_t>(begin);
        char* const base = begin + (roundUp(address, kLargePage) - address);
        if (base != begin) ::munmap(begin, static_cast<std::size_t>(base - begin));
        ::munmap(base + size, static_cast<std::size_t>(begin + mapped - (base + size)));
        ::madvise(base, size, MADV_HUGEPAGE); // a wish: ignored where large pages are off
        chunks_.push_back({base, size});
        next_ = base;
        end_ = base + size;
        residentEnd_ = base;
    }

    // Gives back the end of the last chunk beyond the large page that the
    // carving has reached (the whole chunk when nothing was carved from it).
    void trimLast() {
        stopPrefault();
        if (chunks_.empty()) return;
        Chunk& chunk = chunks_.back();
        const std::size_t keep = roundUp(static_cast<std::size_t>(next_ - chunk.base), kLargePage);
        if (keep < chunk.size) ::munmap(chunk.base + keep, chunk.size - keep);
        chunk.size = keep;
        end_ = chunk.base + keep;
        if (keep == 0) {
            chunks_.pop_back();
            next_ = end_ = residentEnd_ = nullptr;
        }
    }

    // Faults in the pages up to the next large-page boundary past next_ in
    // one call; should the kernel not know the call, they fault in on use.
    void makeResident() {
        char* const base = chunks_.back().base;
        char* const upTo =
            std::min(end_, base + roundUp(static_cast<std::size_t>(next_ - base), kLargePage));
        const auto bytes = static_cast<std::size_t>(upTo - residentEnd_);
        ::madvise(residentEnd_, bytes, MADV_POPULATE_WRITE);
        resident_ += bytes;
        residentEnd_ = upTo;
    }

    // The helper thread: the same calls, ahead of the carving. It only asks
    // the kernel for pages and never reads or writes them.
    void prefault(Chunk chunk) {
        for (std::size_t done = 0; done < chunk.size && !stop_.load(std::memory_order_relaxed);
             done += kLargePage)
            ::madvise(chunk.base + done, kLargePage, MADV_POPULATE_WRITE);
    }

    void stopPrefault() {
        if (!prefault_.joinable()) return;
        stop_.store(true, std::memory_order_relaxed);
        prefault_.join();
    }

    std::vector<Chunk> chunks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    char* residentEnd_ = nullptr;
    std::size_t resident_ = 0;
    std::thread prefault_;
    std::atomic<bool> stop_{false};
};

StringGrid::BulkFill::BulkFill(StringGrid& grid, std::size_t expectedBytes)
    : grid_(grid), firstLane_(0), laneCount_(1) {
    if (grid_.arenas_.empty()) grid_.arenas_.push_back(std::make_unique<Arena>());
    grid_.arenas_.front()->beginFill(expectedBytes, true);
}

StringGrid::BulkFill::BulkFill(StringGrid& grid, std::span<const std::size_t> laneBytes)
    : grid_(grid), firstLane_(grid.arenas_.size()), laneCount_(laneBytes.size()) {
    for (const std::size_t bytes : laneBytes) {
        grid_.arenas_.push_back(std::make_unique<Arena>());
        grid_.arenas_.back()->beginFill(bytes, false);
    }
}

StringGrid::BulkFill::~BulkFill() {
    for (std::size_t lane = 0; lane < laneCount_; ++lane)
        if (firstLane_ + lane < grid_.arenas_.size()) grid_.arenas_[firstLane_ + lane]->endFill();
}

void StringGrid::BulkFill::fillRow(std::size_t lane, int row,
                                   std::span<const std::string_view> texts) {
    grid_.rows_[static_cast<std::size_t>(row)] =
        makeRow(texts, grid_.arenas_[firstLane_ + lane].get());
}

// ---- row blocks -------------------------------------------------------------

StringGrid::RowPtr StringGrid::makeRow(std::span<const std::string_view> texts, Arena* arena) {
    std::size_t count = texts.size();
    while (count > 0 && texts[count - 1].empty())
        --count;
    if (count == 0) return RowPtr();

    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i)
        bytes += texts[i].size();
    // Offsets are at most 32-bit; no real row comes near 4 GiB of text.
    if (bytes > kMaxRowTextBytes || count > kCountMask)
        throw std::length_error("StringGrid: row too long");

    const auto n = static_cast<std::uint32_t>(count);
    const unsigned log = widthLogFor(bytes);
    const std::size_t size = blockSize(n, log, static_cast<std::uint32_t>(bytes));
    void* memory = arena ? arena->allocate(size) : std::malloc(size);
    if (!memory) throw std::bad_alloc();
    unsigned char* offsets = static_cast<unsigned char*>(memory) + kWord;
    char* text = reinterpret_cast<char*>(offsets + (std::size_t{n} << log));
    const std::span<const std::string_view> stored = texts.first(count);
    const std::uint32_t end = log == 0   ? writeCells<std::uint8_t>(offsets, text, stored)
                              : log == 1 ? writeCells<std::uint16_t>(offsets, text, stored)
                                         : writeCells<std::uint32_t>(offsets, text, stored);
    const std::uint32_t header = n | log << kWidthShift | (arena ? kArenaMark : 0) |
                                 (hasControlByte(text, end) ? kControlMark : 0);
    std::memcpy(memory, &header, kWord);
    return RowPtr(static_cast<RowBlock*>(memory));
}

StringGrid::RowPtr StringGrid::copyRow(const RowBlock* block) {
    if (!block) return RowPtr();
    const std::size_t size = blockSize(cellsIn(block), widthLog(block), textBytesOf(block));
    void* memory = std::malloc(size);
    if (!memory) throw std::bad_alloc();
    std::memcpy(memory, block, size);
    // A heap block, whatever the source.
    static_cast<std::uint32_t*>(memory)[0] = headerOf(block) & ~kArenaMark;
    return RowPtr(static_cast<RowBlock*>(memory));
}

bool StringGrid::inArena(const RowBlock* block) {
    return block && (headerOf(block) & kArenaMark) != 0;
}

int StringGrid::blockCellCount(const RowBlock* block) {
    return block ? static_cast<int>(cellsIn(block)) : 0;
}

std::string_view StringGrid::blockCell(const RowBlock* block, int col) {
    if (!block) return {};
    const std::uint32_t n = cellsIn(block);
    const auto i = static_cast<std::uint32_t>(col); // a negative column is out of range too
    if (i >= n) return {};
    const unsigned char* offsets = offsetsOf(block);
    switch (widthLog(block)) {
    case 0:
        return cellOf<std::uint8_t>(offsets, n, i);
    case 1:
        return cellOf<std::uint16_t>(offsets, n, i);
    default:
        return cellOf<std::uint32_t>(offsets, n, i);
    }
}

std::size_t StringGrid::blockTextBytes(const RowBlock* block) {
    return block ? textBytesOf(block) : 0;
}

void StringGrid::readRow(const RowBlock* block, std::vector<std::string_view>& out) {
    const std::uint32_t count = block ? cellsIn(block) : 0;
    out.resize(count);
    if (count == 0) return;
    const unsigned char* offsets = offsetsOf(block);
    switch (widthLog(block)) {
    case 0:
        return cellsOf<std::uint8_t>(offsets, count, out.data());
    case 1:
        return cellsOf<std::uint16_t>(offsets, count, out.data());
    default:
        return cellsOf<std::uint32_t>(offsets, count, out.data());
    }
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
      defaultRowHeight_(other.defaultRowHeight_), showsRowNumbers_(other.showsRowNumbers_),
      rowNumberOffset_(other.rowNumberOffset_) {
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
    swap(arenas_, other.arenas_);
    swap(rows_, other.rows_);
    swap(rowHeights_, other.rowHeights_);
    swap(colWidths_, other.colWidths_);
    swap(fixedCols_, other.fixedCols_);
    swap(fixedRows_, other.fixedRows_);
    swap(defaultColWidth_, other.defaultColWidth_);
    swap(defaultRowHeight_, other.defaultRowHeight_);
    swap(showsRowNumbers_, other.showsRowNumbers_);
    swap(rowNumberOffset_, other.rowNumberOffset_);
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

StringGrid::Batch::Batch(StringGrid& grid) : grid_(grid) {
    ++grid_.batchDepth_;
}

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
    reserveResident(rows_, static_cast<std::size_t>(count));
    reserveResident(rowHeights_, static_cast<std::size_t>(count));
    rows_.resize(count);
    rowHeights_.resize(count, defaultRowHeight_);
    if (showsRowNumbers_) PrepareRowNumberTexts(count);
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
    // One comparison, as a negative row turns into a huge one.
    if (static_cast<unsigned>(row) >= rows_.size()) return {};
    if (col == 0 && showsRowNumbers_ && row > 0) return RowNumberTextView(row - rowNumberOffset_);
    return blockCell(rows_[row].get(), col);
}

void StringGrid::showRowNumbers(int offset) {
    if (showsRowNumbers_ && rowNumberOffset_ == offset) return;
    PrepareRowNumberTexts(rowCount());
    showsRowNumbers_ = true;
    rowNumberOffset_ = offset;
    notify(Change::Cells);
}

void StringGrid::setCell(int col, int row, std::string_view text) {
    if (col < 0 || col >= colCount() || row < 0 || row >= rowCount()) return;
    if (col == 0 && showsRowNumbers_ && row > 0) return;
    RowPtr& block = rows_[row];
    if (blockCell(block.get(), col) == text) return;
    std::vector<std::string_view> cells;
    readRow(block.get(), cells);
    if (static_cast<int>(cells.size()) <= col) cells.resize(col + 1);
    cells[col] = text;
    block = makeRow(cells);
    notify(Change::Cells);
}

void StringGrid::setCells(int row, int firstCol, std::span<const std::string_view> texts) {
    if (row < 0 || row >= rowCount() || firstCol < 0 || firstCol >= colCount()) return;
    RowPtr& block = rows_[row];
    std::vector<std::string_view> cells;
    readRow(block.get(), cells);
    const std::size_t end =
        std::min(static_cast<std::size_t>(firstCol) + texts.size(), static_cast<std::size_t>(colCount()));
    if (cells.size() < end) cells.resize(end);
    for (std::size_t c = static_cast<std::size_t>(firstCol); c < end; ++c)
        if (c > 0 || !showsRowNumbers_ || row == 0) cells[c] = texts[c - firstCol];
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

void StringGrid::fillRow(int row, std::span<const std::string_view> texts) {
    if (row < 0 || row >= rowCount()) return;
    if (arenas_.empty()) arenas_.push_back(std::make_unique<Arena>());
    const std::size_t count = std::min(texts.size(), static_cast<std::size_t>(colCount()));
    rows_[row] = makeRow(texts.first(count), arenas_.front().get());
    notify(Change::Cells);
}

void StringGrid::rowCells(int row, std::vector<std::string_view>& out) const {
    if (row < 0 || row >= rowCount()) {
        out.clear();
        return;
    }
    readRow(rows_[static_cast<std::size_t>(row)].get(), out);
}

bool StringGrid::rowIsEmpty(int row) const {
    // Blocks never end in an empty cell, so a stored block has text.
    return row < 0 || row >= rowCount() || !rows_[row];
}

bool StringGrid::rowHasControlChars(int row) const {
    if (static_cast<unsigned>(row) >= rows_.size() || !rows_[row]) return false;
    return (headerOf(rows_[row].get()) & kControlMark) != 0;
}

void StringGrid::clearCells() {
    for (RowPtr& row : rows_)
        row.reset();
    arenas_.clear(); // no row points into them any more
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
        const std::size_t blocks = rowTree_.size() - 1;
        for (std::size_t i = (static_cast<std::size_t>(row) >> kRowBlockShift) + 1; i <= blocks;
             i += i & (~i + 1))
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

// The index sums the heights of blocks of 64 rows, so it costs an eighth of
// a byte per row; a row's top adds the heights before it in its own block.
// Tree slot i (1-based) holds the sum of the heights of blocks
// (i - lowbit(i), i].
void StringGrid::ensureRowIndex() const {
    if (rowTreeValid_) return;
    const std::size_t n = rowHeights_.size();
    const std::size_t blocks = (n + kRowBlock - 1) >> kRowBlockShift;
    rowTree_.assign(blocks + 1, 0);
    for (std::size_t r = 0; r < n; ++r)
        rowTree_[(r >> kRowBlockShift) + 1] += rowHeights_[r];
    for (std::size_t i = 1; i <= blocks; ++i) {
        const std::size_t parent = i + (i & (~i + 1));
        if (parent <= blocks) rowTree_[parent] += rowTree_[i];
    }
    rowTreeValid_ = true;
}

std::int64_t StringGrid::rowTop(int row) const {
    ensureRowIndex();
    const auto end = static_cast<std::size_t>(std::clamp(row, 0, rowCount()));
    std::int64_t sum = 0;
    for (std::size_t i = end >> kRowBlockShift; i > 0; i &= i - 1)
        sum += rowTree_[i];
    for (std::size_t r = end & ~(kRowBlock - 1); r < end; ++r)
        sum += rowHeights_[r];
    return sum;
}

std::int64_t StringGrid::totalHeight() const {
    return rowTop(rowCount());
}

int StringGrid::rowAt(std::int64_t y) const {
    if (y < 0) return -1;
    ensureRowIndex();
    // Descend to the largest count of leading blocks whose heights sum to
    // <= y, then walk the rows of the next block; rows of height 0 never
    // hold y.
    const std::size_t blocks = rowTree_.size() - 1;
    std::size_t step = 1;
    while (step * 2 <= blocks)
        step *= 2;
    std::size_t pos = 0;
    for (; blocks > 0 && step > 0; step /= 2) {
        if (pos + step <= blocks && rowTree_[pos + step] <= y) {
            pos += step;
            y -= rowTree_[pos];
        }
    }
    const std::size_t n = rowHeights_.size();
    for (std::size_t r = pos << kRowBlockShift; r < n; ++r) {
        if (y < rowHeights_[r]) return static_cast<int>(r);
        y -= rowHeights_[r];
    }
    return -1;
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
    if (showsRowNumbers_) PrepareRowNumberTexts(rowCount());
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

void StringGrid::permuteRows(int first, std::span<const int> order) {
    if (order.empty() || first < 0 || first + static_cast<int>(order.size()) > rowCount()) return;
    std::vector<RowPtr> rows(order.size());
    std::vector<int> heights(order.size());
    for (std::size_t j = 0; j < order.size(); ++j) {
        rows[j] = std::move(rows_[order[j]]);
        heights[j] = rowHeights_[order[j]];
    }
    std::move(rows.begin(), rows.end(), rows_.begin() + first);
    std::copy(heights.begin(), heights.end(), rowHeights_.begin() + first);
    invalidateRowIndex();
    notify(Change::Geometry);
}

void StringGrid::permuteCols(std::span<const int> order) {
    if (static_cast<int>(order.size()) != colCount()) return;
    int firstMoved = 0;
    while (firstMoved < colCount() && order[firstMoved] == firstMoved)
        ++firstMoved;
    if (firstMoved == colCount()) return;
    std::vector<std::string_view> moved(order.size());
    editRows(firstMoved, [&](std::vector<std::string_view>& cells) {
        cells.resize(order.size());
        for (std::size_t c = 0; c < order.size(); ++c)
            moved[c] = cells[order[c]];
        cells.swap(moved);
    });
    std::vector<int> widths(order.size());
    for (std::size_t c = 0; c < order.size(); ++c)
        widths[c] = colWidths_[order[c]];
    colWidths_.swap(widths);
    invalidateColIndex();
    notify(Change::Geometry);
}

// ---- accounting -------------------------------------------------------------

std::size_t StringGrid::overheadBytes() const {
    std::size_t bytes = 0;
    std::size_t arenaText = 0;
    for (const RowPtr& row : rows_) {
        if (!row) continue;
        if (inArena(row.get())) {
            arenaText += blockTextBytes(row.get());
            continue;
        }
        // The allocator's chunk header sits in front of the usable bytes.
        bytes += malloc_usable_size(row.get()) + sizeof(std::size_t) - blockTextBytes(row.get());
    }
    // Resident chunk bytes that hold no live text: headers, offsets, the
    // blocks of rows edited since, the unused end of each chunk.
    for (const auto& arena : arenas_)
        bytes += arena->residentBytes();
    bytes -= arenaText;
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

// ---- row handles ------------------------------------------------------------

StringGrid::TakenRow::TakenRow() = default;
StringGrid::TakenRow::~TakenRow() = default;
StringGrid::TakenRow::TakenRow(TakenRow&&) noexcept = default;
StringGrid::TakenRow& StringGrid::TakenRow::operator=(TakenRow&&) noexcept = default;

int StringGrid::TakenRow::cellCount() const {
    return blockCellCount(block_.get());
}

std::string_view StringGrid::TakenRow::cell(int col) const {
    return blockCell(block_.get(), col);
}

std::size_t StringGrid::TakenRow::textBytes() const {
    return blockTextBytes(block_.get());
}

StringGrid::TakenRow StringGrid::takeRow(int row) {
    TakenRow taken;
    if (row < 0 || row >= rowCount() || !rows_[row]) return taken;
    // A carved block lives only as long as the chunks, which a clear of this
    // grid gives back: it leaves as a heap copy (one copy of the block).
    if (inArena(rows_[row].get()))
        taken.block_ = copyRow(rows_[row].get());
    else
        taken.block_ = std::move(rows_[row]);
    rows_[row].reset();
    notify(Change::Cells);
    return taken;
}

StringGrid::TakenRow StringGrid::copyOfRow(int row) const {
    TakenRow copy;
    if (row >= 0 && row < rowCount()) copy.block_ = copyRow(rows_[row].get());
    return copy;
}

void StringGrid::putRow(int row, TakenRow&& taken) {
    if (row < 0 || row >= rowCount()) return;
    RowPtr block = std::move(taken.block_);
    if (block && blockCellCount(block.get()) > colCount()) {
        std::vector<std::string_view> cells;
        readRow(block.get(), cells);
        cells.resize(static_cast<std::size_t>(colCount()));
        rows_[row] = makeRow(cells);
    } else {
        rows_[row] = std::move(block);
    }
    notify(Change::Cells);
}

} // namespace tabulix
