#pragma once

#include <cstdint>

namespace tabulix {

// What a mouse press in the grid selected: cells, whole rows or whole columns.
enum class HeaderMode { Cells = 0, RowHeader = 1, ColumnHeader = 2 };

// What the last clip took.
enum class ClipKind { None = 0, CellRange = 1, Rows = 2, Columns = 3 };

// A rectangle of grid indexes; "none" while left (or top, for row ranges) is -1.
struct CellRange {
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;

    bool hasColumns() const { return left >= 0; }
    bool hasRows() const { return top >= 0; }
    bool contains(int col, int row) const;
    // Smaller index first on both axes.
    CellRange normalised() const;
    void clear() { *this = CellRange{}; }
};

// Cells painted in a command's colour while its question is open.
struct Highlight {
    CellRange range;
    std::uint32_t rgb = 0; // 0xRRGGBB
    bool active() const { return range.left >= 0; }
    void clear() { range.clear(); }
};

inline constexpr std::uint32_t kHighlightInsert = 0x0000FF;
inline constexpr std::uint32_t kHighlightDelete = 0xFF0000;

// Where the view stood when a cell was last selected; the cursor returns
// there after a deletion.
struct ViewPosition {
    int leftCol = -1;
    int topRow = -1;
    int col = -1;
    int row = -1;
    bool valid() const { return row >= 0; }
    void clear() { *this = ViewPosition{}; }
};

// The editing state every editing command shares. Indexes are grid indexes;
// -1 means none.
struct EditState {
    HeaderMode headerMode = HeaderMode::Cells;
    HeaderMode previousHeaderMode = HeaderMode::Cells;
    int clickCol = -1;
    int clickRow = -1;
    CellRange operationRange;
    // What the operation range holds when a row or column command set it:
    // RowHeader for rows, ColumnHeader for columns; Cells when unknown.
    HeaderMode operationAxis = HeaderMode::Cells;
    CellRange clipRange;
    ClipKind clipKind = ClipKind::None;
    Highlight confirmHighlight;
    CellRange undoHighlight;
    ViewPosition rememberedView;
    // The last cell a mouse button went down on.
    int mouseDownCol = -1;
    int mouseDownRow = -1;

    void forgetClick() { clickCol = clickRow = -1; }
    // What a table reset forgets: click, operation range, clip range and the
    // remembered view position.
    void forgetForReset();
};

} // namespace tabulix
