#pragma once

#include "edit/EditState.h"
#include "table/StringGrid.h"
#include "table/TableRecords.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tabulix {

struct Table;

// What an undoable command was.
enum class HistKind : std::uint8_t {
    DeleteRows = 0,
    InsertRows = 1,
    CopyRows = 2,
    DeleteCols = 3,
    InsertCols = 4,
    ImportCols = 5, // columns appended by a row import; chained to the import
    CopyCols = 6,
    RangeClear = 7,
    RangeConvert = 8,
    RangePaste = 9,
    CellEdit = 10,
    RowEdit = 11, // a cell of the single-row editor
    DragRow = 12,
    DragCol = 13,
    MoveRows = 14, // deletion half of a move through the clip; chained to its copy
    MoveCols = 15,
};

// Undoing these undoes the command before them in the same step.
inline bool IsChained(HistKind kind) {
    return kind == HistKind::ImportCols || kind == HistKind::MoveRows || kind == HistKind::MoveCols;
}

// One undoable command.
struct THistCtl {
    HistKind kind = HistKind::DeleteRows;
    int start = 0;
    // Saved items of the command; for line kinds also the number of lines.
    int count = 0;
    CellRange rect;
    bool wasModified = false;
    int cellRow = -1; // kinds 10, 11: the cell; 12, 13: moved-to
    int cellCol = -1; // kinds 10, 11: the cell; 12, 13: moved-from
    std::string oldText;
};

// Attributes of one saved row or column.
struct THistInf {
    int height = 0;
    int width = 0;
    RowRecord rowRecord;
    ColumnRecord colRecord;
};

// The texts of one saved item: a deleted row keeps its row block as it was
// (taken out of the grid, not copied); a column or a range keeps its texts.
struct HistData {
    StringGrid::TakenRow row;
    std::vector<std::string> texts;
};

// The undo history: three lists kept in step (commands, data, attributes),
// oldest first, at most kDepth commands. A command's items are the last
// `count` entries of the data and attribute lists while it is the newest.
class UndoHistory {
public:
    static constexpr int kDepth = 64;

    // Lines: for kinds 0 and 14 (rows) and 3 and 15 (columns) each item saves
    // the attributes of line first + i and, for columns, its cells; rows get
    // their texts through adoptRows when the deletion takes them out. Other
    // kinds get empty items.
    void recordLines(HistKind kind, int first, int count, const Table& table, bool modified);
    // The taken rows of the newest (row deletion) command, in order.
    void adoptRows(std::vector<StringGrid::TakenRow>&& rows);
    // A rectangle's texts, row by row, left to right (clipped to the grid).
    void recordRange(HistKind kind, CellRange rect, const StringGrid& grid, bool modified);
    void recordCell(HistKind kind, int col, int row, const StringGrid& grid, bool modified);
    void recordMove(HistKind kind, int from, int to, bool modified);

    void clear();
    // Removes the newest commands as long as they are single-row edits.
    void dropRowEdits();

    bool empty() const { return commands_.empty(); }
    int size() const { return static_cast<int>(commands_.size()); }
    const THistCtl& newest() const { return commands_.back(); }
    const std::deque<THistCtl>& commands() const { return commands_; }
    // The newest command's items (valid until the history changes).
    HistData& data(int i);
    const THistInf& attributes(int i) const;
    // Removes the newest command and its items.
    void popNewest();

    // Held bytes of the saved texts; for the benchmarks.
    std::size_t savedTextBytes() const;

private:
    THistCtl& append(THistCtl command, int items);
    void applyDepthLimit();

    std::deque<THistCtl> commands_;
    std::deque<HistData> data_;
    std::deque<THistInf> attributes_;
};

// The menu label of a command: fixed by kind, or for cell edits the first 20
// display units of the old text.
std::string HistLabel(const THistCtl& command);

// The captions and enabled states of the two undo items.
struct UndoCaptions {
    std::string main = "元に戻す";
    bool mainEnabled = false;
    std::string rowEditor = "元に戻す";
    bool rowEditorEnabled = false;
};
UndoCaptions UndoMenuCaptions(const UndoHistory& history);

} // namespace tabulix
