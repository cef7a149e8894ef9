#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

// The data of every grid of the program: cells of UTF-8 text, fixed rows and
// columns, column widths and row heights. It holds no widget; a grid widget
// shows one StringGrid and listens to its changes.
//
// Cells are addressed (column, row), both from 0. Each row keeps its texts in
// one heap block (a cell count, one end offset per cell, 1 to 4 bytes wide as
// the row's text needs, then the bytes), so a table of short texts costs no
// heap object per cell, a cell read is constant time and moving a row moves
// one pointer. A row that holds only empty cells has no block at all. Rows
// written by a bulk fill (a load) have their blocks carved from a few large
// chunks instead.
class StringGrid {
public:
    // What changed, so that a view can decide between a repaint and a relayout.
    enum class Change {
        Cells,    // cell texts only
        Geometry, // row or column counts, fixed counts, widths or heights
    };
    using ChangeListener = std::function<void(Change)>;

    // Limits of the cell store: a row block counts its cells in 28 bits and
    // ends its texts at 32-bit offsets; rows and columns are counted in int.
    // A longer row is refused with std::length_error.
    static constexpr int kMaxRowCells = (1 << 28) - 1;
    static constexpr std::uint64_t kMaxRowTextBytes = 0xFFFFFFFFu;

    StringGrid(int colCount = 5, int rowCount = 5);
    ~StringGrid();
    StringGrid(const StringGrid& other);
    StringGrid& operator=(const StringGrid& other);
    StringGrid(StringGrid&&) noexcept;
    StringGrid& operator=(StringGrid&&) noexcept;

    // One listener (normally the widget showing the grid); copies do not
    // inherit it.
    void setChangeListener(ChangeListener listener);

    // Holds the listener's notifications back while it lives: work that
    // touches every row (a load, row heights) is then reported once, as
    // Geometry when any geometry changed. Batches nest.
    class Batch {
    public:
        explicit Batch(StringGrid& grid);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        StringGrid& grid_;
    };

    int colCount() const { return static_cast<int>(colWidths_.size()); }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Growing adds empty cells with the default size; shrinking drops cells.
    void setColCount(int count);
    void setRowCount(int count);

    int fixedCols() const { return fixedCols_; }
    int fixedRows() const { return fixedRows_; }
    // Kept below the counts, as a grid always needs one scrollable cell.
    void setFixedCols(int count);
    void setFixedRows(int count);

    // Reads outside the grid give an empty text; writes outside are ignored.
    std::string_view cell(int col, int row) const;
    std::string cellText(int col, int row) const { return std::string(cell(col, row)); }
    // The texts of row `row` up to its last non-empty cell (none for a row
    // outside the grid): one look at the row for whole-table passes. The
    // views stay valid until the row is written.
    void rowCells(int row, std::vector<std::string_view>& out) const;
    void setCell(int col, int row, std::string_view text);
    // Replaces row `row` as a whole: cell i takes texts[i]; later cells become
    // empty; texts beyond the column count are dropped.
    void setRow(int row, std::span<const std::string> texts);
    void setRow(int row, std::span<const std::string_view> texts);
    // Cells firstCol .. firstCol + texts.size() - 1 of one row in one write;
    // texts beyond the last column are dropped.
    void setCells(int row, int firstCol, std::span<const std::string_view> texts);
    // Like setRow, for filling a whole table (a load): the block is carved
    // from large chunks that the grid holds, which saves the allocator's
    // per-row cost and most of the cost of faulting in fresh memory. An edit
    // later gives the row an ordinary block; the chunks are given back once
    // every row is dropped together (clearCells, assignment, destruction).
    // Copies of the grid get ordinary blocks.
    void fillRow(int row, std::span<const std::string_view> texts);

    // The span of a bulk fill. Its fillRow calls take their blocks from one
    // chunk of about `expectedBytes` (the texts plus a few bytes per cell and
    // per row) that a helper thread makes resident ahead of them; the part
    // they leave unused is given back at the end.
    //
    // A fill on several threads at once has a lane per thread, each with
    // chunks of its own sized for its rows (no helper thread: the cores are
    // busy filling). Its fillRow may be called from different threads for
    // different lanes and rows; it tells no listener and keeps every text,
    // so the caller sets the column count once the rows are in.
    class BulkFill {
    public:
        BulkFill(StringGrid& grid, std::size_t expectedBytes);
        BulkFill(StringGrid& grid, std::span<const std::size_t> laneBytes);
        ~BulkFill();
        BulkFill(const BulkFill&) = delete;
        BulkFill& operator=(const BulkFill&) = delete;

        void fillRow(std::size_t lane, int row, std::span<const std::string_view> texts);

    private:
        StringGrid& grid_;
        std::size_t firstLane_;
        std::size_t laneCount_;
    };

    // Column 0 of rows 1 and below shows row numbers instead of stored texts
    // (the main table): row r shows r - offset with a comma every three
    // digits, nothing where that is not positive. The texts come from a store
    // shared by every grid, so inserting, deleting or moving rows renumbers
    // nothing. Writes to those cells are ignored while the numbers show.
    void showRowNumbers(int offset);
    bool showsRowNumbers() const { return showsRowNumbers_; }

    // Every cell of row `row` is empty.
    bool rowIsEmpty(int row) const;
    // Whether a text of row `row` holds a control character (a line break,
    // a tab): known without reading the texts, so whole-table passes look
    // for line breaks only in the rare rows that may hold one.
    bool rowHasControlChars(int row) const;
    // Empties every cell; counts and sizes stay.
    void clearCells();

    // Column widths and row heights in pixels. A width of 0 hides a column.
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int height);
    int defaultColWidth() const { return defaultColWidth_; }
    int defaultRowHeight() const { return defaultRowHeight_; }
    // Like a classic string grid: setting a default applies it to every
    // column (row) at once; later added columns (rows) take it too.
    void setDefaultColWidth(int width);
    void setDefaultRowHeight(int height);

    // Geometry of the rows as one long strip: top edge of row r (the sum of
    // the heights of rows 0..r-1), total height, and the row at a y offset.
    // rowAt is logarithmic in the row count (and a walk of at most 64 rows),
    // also with varying heights.
    std::int64_t rowTop(int row) const;
    std::int64_t totalHeight() const;
    // The row whose band [top, top+height) holds y; rows of height 0 are
    // skipped; -1 when y is negative or beyond the last row.
    int rowAt(std::int64_t y) const;
    std::int64_t colLeft(int col) const;
    std::int64_t totalWidth() const;
    int colAt(std::int64_t x) const;

    // Structure. Inserted rows and columns are empty and take the default size.
    void insertRows(int at, int count);
    void deleteRows(int at, int count);
    void insertCols(int at, int count);
    void deleteCols(int at, int count);
    // Takes row `from` out and puts it back so that it ends up at index `to`
    // (its height moves with it); the same for columns and their widths.
    void moveRow(int from, int to);
    void moveCol(int from, int to);
    // Row first + j takes the texts and height of row order[j]; `order` names
    // each of rows first .. first + size - 1 once. Only handles move.
    void permuteRows(int first, std::span<const int> order);
    // Column c takes the cells and width of column order[c]; `order` names
    // every column once. One pass over the rows.
    void permuteCols(std::span<const int> order);

    // Heap bytes the grid uses beyond the cell texts themselves (row blocks'
    // headers and offsets, allocator slack, the resident part of the fill
    // chunks that holds no live text, size arrays). For the benchmarks.
    std::size_t overheadBytes() const;
    std::size_t textBytes() const;

    // ---- row handles --------------------------------------------------------
    // A row's texts taken out whole and put back later (the undo of a row
    // deletion keeps them), so neither costs any work per cell.
    class TakenRow;
    // Row `row` hands over its texts and is left empty; its height stays.
    TakenRow takeRow(int row);
    // A copy of row `row`'s texts as one block (a duplicated row).
    TakenRow copyOfRow(int row) const;
    // Row `row` takes the texts of `taken` in place of its own; texts beyond
    // the column count are dropped.
    void putRow(int row, TakenRow&& taken);

private:
    class Arena;
    struct RowBlock;
    struct RowBlockDeleter {
        void operator()(RowBlock* block) const noexcept;
    };
    using RowPtr = std::unique_ptr<RowBlock, RowBlockDeleter>;
    using CellEdit = std::function<void(std::vector<std::string_view>&)>;

    // A block in `arena` when one is given, otherwise on the heap.
    static RowPtr makeRow(std::span<const std::string_view> texts, Arena* arena = nullptr);
    static RowPtr copyRow(const RowBlock* block);
    static bool inArena(const RowBlock* block);
    static int blockCellCount(const RowBlock* block);
    static std::string_view blockCell(const RowBlock* block, int col);
    static std::size_t blockTextBytes(const RowBlock* block);
    // The stored cells of a block (trailing empty cells are not stored).
    static void readRow(const RowBlock* block, std::vector<std::string_view>& out);
    // Rebuilds every row that stores more than `firstCol` cells with `edit`
    // applied to its stored cells; rows with fewer cells are not touched.
    void editRows(int firstCol, const CellEdit& edit);
    void swapData(StringGrid& other) noexcept;
    void clampFixed();
    void notify(Change change) const;
    void invalidateRowIndex();
    void ensureRowIndex() const;
    void invalidateColIndex();
    void ensureColIndex() const;

    // Declared before rows_ so that they outlive them: dropping a row reads
    // its block's mark to tell carved blocks from heap blocks.
    // The first is the grid's own, for single fills; lanes of a fill on
    // several threads follow.
    std::vector<std::unique_ptr<Arena>> arenas_;
    std::vector<RowPtr> rows_;
    std::vector<int> rowHeights_;
    std::vector<int> colWidths_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    bool showsRowNumbers_ = false;
    int rowNumberOffset_ = 0;
    ChangeListener listener_;
    int batchDepth_ = 0;
    mutable bool pendingCells_ = false;
    mutable bool pendingGeometry_ = false;

    // Fenwick tree over the heights of blocks of rows for logarithmic
    // rowTop/rowAt; rebuilt on first use after a structural change, updated
    // in place on a height change.
    mutable std::vector<std::int64_t> rowTree_;
    mutable bool rowTreeValid_ = false;
    // Left edges of the columns plus the total width; rebuilt on first use.
    mutable std::vector<std::int64_t> colLefts_;
    mutable bool colLeftsValid_ = false;
};

// The texts of one row outside any grid (see StringGrid::takeRow).
class StringGrid::TakenRow {
public:
    TakenRow();
    ~TakenRow();
    TakenRow(TakenRow&&) noexcept;
    TakenRow& operator=(TakenRow&&) noexcept;

    bool empty() const { return !block_; }
    int cellCount() const;
    std::string_view cell(int col) const;
    // The texts' bytes, without the block's header and offsets.
    std::size_t textBytes() const;

private:
    friend class StringGrid;
    RowPtr block_;
};

} // namespace tabulix
