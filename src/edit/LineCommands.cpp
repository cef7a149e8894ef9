#include "edit/LineCommands.h"

#include "draw/BreakShade.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "edit/RangeCommands.h"
#include "edit/RowColumnCores.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"
#include "table/UserDialogs.h"

#include <algorithm>
#include <string>

namespace tabulix {

namespace {

// The texts of one axis.
struct AxisTexts {
    const char* insertHead;
    const char* unit;        // " 行"
    const char* insertArrow; // "    →    行番号 ： "
    const char* moveHead;
    const char* clipCopyHead;
    const char* copyHead;
    const char* rangeLine;
    const char* deleteOne;
    const char* deleteMany;
    const char* refusal;
};

const AxisTexts kRowTexts{
    "【 新規挿入 】\r\n\r\n    選択範囲の行数分だけ指定行に空行を挿入します。\r\n\r\n    ",
    " 行",
    "    →    行番号 ： ",
    "【 移動 】\r\n\r\n   クリップされた行を指定行に移動します。",
    "【 複写 】\r\n\r\n   クリップされた行を指定行に挿入して複写します。",
    "【 複写 】\r\n\r\n   選択範囲の行を指定行に挿入して複写します。",
    "   行番号 ： ",
    "【 削除 】\r\n\r\n    この行を削除します。\r\n\r\n    行番号 = ",
    "【 削除 】\r\n\r\n    選択範囲の行を削除します。\r\n\r\n    行番号 ： ",
    "すべての行を削除することはできません。",
};

const AxisTexts kColumnTexts{
    "【 新規挿入 】\r\n\r\n    選択範囲の列数分だけ指定列に空列を挿入します。\r\n\r\n    ",
    " 列",
    "    →    列番号 ： ",
    "【 移動 】\r\n\r\n   クリップされた列を指定列に移動します。",
    "【 複写 】\r\n\r\n   クリップされた列を指定列に挿入して複写します。",
    "【 複写 】\r\n\r\n   選択範囲の列を指定列に挿入して複写します。",
    "    列番号 ： ",
    "【 削除 】\r\n\r\n    この列を削除します。\r\n\r\n    列番号 = ",
    "【 削除 】\r\n\r\n    選択範囲の列を削除します。\r\n\r\n    列番号 ： ",
    "すべての列を削除することはできません。",
};

const AxisTexts& textsOf(Axis axis) {
    return axis == Axis::Rows ? kRowTexts : kColumnTexts;
}

bool isRows(Axis axis) {
    return axis == Axis::Rows;
}

int lineCount(const EditSession& s, Axis axis) {
    return isRows(axis) ? s.table.grid.rowCount() : s.table.grid.colCount();
}

// The first line a command may act on: row 1 (header rows can be taken), the
// first data column.
int firstLine(Axis axis) {
    return isRows(axis) ? 1 : kFirstDataCol;
}

// The number text of a line: column 0 of a row, row 0 of a column.
std::string numberText(const EditSession& s, Axis axis, int line) {
    return isRows(axis) ? s.table.grid.cellText(0, line) : s.table.grid.cellText(line, 0);
}

// The clicked line; after a key press with nothing clicked, the current one.
int clickedLine(const EditSession& s, Axis axis) {
    const int clicked = isRows(axis) ? s.edit.clickRow : s.edit.clickCol;
    if (clicked >= 0) return clicked;
    return isRows(axis) ? s.host.currentRow() : s.host.currentCol();
}

struct LineSpan {
    int first = -1;
    int last = -1;
    int count() const { return last - first + 1; }
};

// The operation range's lines of this axis, inside the table.
LineSpan rangeLines(const EditSession& s, Axis axis) {
    const CellRange n = s.edit.operationRange.normalised();
    LineSpan span = isRows(axis) ? LineSpan{n.top, n.bottom} : LineSpan{n.left, n.right};
    span.first = std::max(span.first, firstLine(axis));
    span.last = std::min(span.last, lineCount(s, axis) - 1);
    return span;
}

// Count and target: one line at the clicked one, or the range's lines with
// the target moved to the range's start when it lies inside.
struct CountTarget {
    int count = 1;
    int target = -1;
};

CountTarget countAndTarget(const EditSession& s, Axis axis) {
    CountTarget ct;
    ct.target = std::clamp(clickedLine(s, axis), firstLine(axis), lineCount(s, axis) - 1);
    if (HasLineRange(s, axis)) {
        const LineSpan span = rangeLines(s, axis);
        ct.count = std::max(span.count(), 1);
        if (ct.target >= span.first && ct.target <= span.last) ct.target = span.first;
    }
    return ct;
}

// The confirmation step: the range highlighted in `rgb` while the question
// is open (a lone line is not highlighted); true for Yes.
bool confirmStep(EditSession& s, Axis axis, std::uint32_t rgb, const std::string& text) {
    const CellRange range = HasLineRange(s, axis) ? s.edit.operationRange.normalised() : CellRange{};
    return AskWithHighlight(s, range, rgb, text);
}

void setLineRange(EditSession& s, Axis axis, int first, int last) {
    if (isRows(axis)) {
        SetRowRange(s, first, last);
        s.edit.operationAxis = HeaderMode::RowHeader;
    } else {
        SetColumnRange(s, first, last);
        s.edit.operationAxis = HeaderMode::ColumnHeader;
    }
}

void recomputeShadesFrom(EditSession& s, Axis axis, int line) {
    if (!s.host.breakShades()) return;
    RecomputeBreakShades(s.table, -1, isRows(axis) ? line : 0);
}

// Copies source line `from` onto the fresh line `to` with its size and record.
void copyLine(EditSession& s, Axis axis, int from, int to) {
    StringGrid& g = s.table.grid;
    if (isRows(axis)) {
        g.putRow(to, g.copyOfRow(from));
        g.setRowHeight(to, g.rowHeight(from));
        s.table.rowRecords[to] = s.table.rowRecords[from];
        return;
    }
    for (int r = 0; r < g.rowCount(); ++r)
        g.setCell(to, r, g.cell(from, r));
    s.table.colRecords[to] = s.table.colRecords[from];
    g.setColWidth(to, s.table.colRecords[from].width);
}

} // namespace

bool HasLineRange(const EditSession& s, Axis axis) {
    const CellRange& r = s.edit.operationRange;
    const bool set = isRows(axis) ? r.hasRows() : r.hasColumns();
    if (!set) return false;
    // A range chosen for the other axis is not a range of this one.
    const HeaderMode other = isRows(axis) ? HeaderMode::ColumnHeader : HeaderMode::RowHeader;
    return s.edit.operationAxis != other;
}

void InsertLines(EditSession& s, Axis axis) {
    const CountTarget ct = countAndTarget(s, axis);
    const AxisTexts& t = textsOf(axis);
    if (ct.count > 1 && s.host.confirmChecked(ConfirmItem::Insert)) {
        const std::string text = std::string(t.insertHead) + std::to_string(ct.count) + t.unit +
                                 t.insertArrow + numberText(s, axis, ct.target);
        if (!confirmStep(s, axis, kHighlightInsert, text)) return;
    }
    s.host.setBusy(true);
    if (isRows(axis)) {
        s.history.recordLines(HistKind::InsertRows, ct.target, ct.count, s.table,
                              s.host.modified());
        InsertRows(s, ct.target, ct.count);
    } else {
        s.history.recordLines(HistKind::InsertCols, ct.target, ct.count, s.table,
                              s.host.modified());
        InsertColumns(s, ct.target, ct.count, false, true);
    }
    s.host.historyChanged();
    recomputeShadesFrom(s, axis, ct.target);
    setLineRange(s, axis, ct.target, ct.target + ct.count - 1);
    s.host.repaint();
    s.host.focusGrid();
    s.host.setBusy(false);
}

int CopyLines(EditSession& s, Axis axis, CopyWording wording) {
    const CountTarget ct = countAndTarget(s, axis);
    const AxisTexts& t = textsOf(axis);
    const LineSpan sources =
        HasLineRange(s, axis) ? rangeLines(s, axis) : LineSpan{ct.target, ct.target};
    const ConfirmItem item = wording == CopyWording::Move ? ConfirmItem::Move : ConfirmItem::Copy;
    if (ct.count > 1 && s.host.confirmChecked(item)) {
        const char* head = wording == CopyWording::Move   ? t.moveHead
                           : wording == CopyWording::Clip ? t.clipCopyHead
                                                          : t.copyHead;
        const std::string text = std::string(head) + "\r\n\r\n" + t.rangeLine +
                                 numberText(s, axis, sources.first) + " ～ " +
                                 numberText(s, axis, sources.last) + "    →   " +
                                 numberText(s, axis, ct.target);
        if (!confirmStep(s, axis, kHighlightInsert, text)) return -1;
    }
    s.host.setBusy(true);
    const bool rows = isRows(axis);
    s.history.recordLines(rows ? HistKind::CopyRows : HistKind::CopyCols, ct.target, ct.count,
                          s.table, s.host.modified());
    s.host.historyChanged();
    // Where the first source line is once the copies' room is made.
    int moved = rows ? InsertRows(s, ct.target, ct.count, false)
                     : InsertColumns(s, ct.target, ct.count, false, true);
    if (!HasLineRange(s, axis)) moved = sources.first + (sources.first >= ct.target ? ct.count : 0);
    {
        StringGrid::Batch batch(s.table.grid);
        for (int i = 0; i < ct.count; ++i)
            copyLine(s, axis, moved + i, ct.target + i);
    }
    if (rows) {
        s.host.rowsChanged(ct.target);
        s.host.refillFixedColumn(ct.target, ct.count);
    } else {
        s.host.refreshColumns();
    }
    recomputeShadesFrom(s, axis, ct.target);
    s.host.setModified(true);
    setLineRange(s, axis, ct.target, ct.target + ct.count - 1);
    s.host.repaint();
    s.host.focusGrid();
    s.host.setBusy(false);
    return ct.target;
}

void DeleteLines(EditSession& s, Axis axis) {
    const AxisTexts& t = textsOf(axis);
    LineSpan span{clickedLine(s, axis), clickedLine(s, axis)};
    if (HasLineRange(s, axis)) span = rangeLines(s, axis);
    if (span.first < firstLine(axis) || span.last >= lineCount(s, axis) || span.count() < 1)
        return; // nothing of the table to act on
    const int count = span.count();
    const bool ask = s.host.confirmChecked(ConfirmItem::Delete);
    const bool ranged = HasLineRange(s, axis);
    if (ask && ranged) {
        s.edit.confirmHighlight = Highlight{s.edit.operationRange.normalised(), kHighlightDelete};
        s.host.repaint();
    }
    const int minimum = isRows(axis) ? 2 : 3;
    if (lineCount(s, axis) - count < minimum) {
        s.dialogs.information(t.refusal);
        s.edit.confirmHighlight.clear();
        s.host.repaint();
        return;
    }
    if (ask) {
        const std::string text = count < 2 ? t.deleteOne + numberText(s, axis, span.first)
                                           : t.deleteMany + numberText(s, axis, span.first) +
                                                 " ～ " + numberText(s, axis, span.last);
        if (!confirmStep(s, axis, kHighlightDelete, text)) return;
    }
    if (isRows(axis)) {
        s.history.recordLines(HistKind::DeleteRows, span.first, count, s.table, s.host.modified());
        s.history.adoptRows(DeleteRows(s, span.first, count, false, true));
    } else {
        s.history.recordLines(HistKind::DeleteCols, span.first, count, s.table, s.host.modified());
        DeleteColumns(s, span.first, count, false);
    }
    s.edit.operationAxis = HeaderMode::Cells;
    s.host.historyChanged();
}

void MoveClippedLines(EditSession& s, Axis axis) {
    const CellRange clip = s.edit.clipRange.normalised();
    const bool rows = isRows(axis);
    const int clipFirst = rows ? clip.top : clip.left;
    const int clipLast = rows ? clip.bottom : clip.right;
    if (clipFirst < firstLine(axis) || clipLast >= lineCount(s, axis)) return;
    const int n = clipLast - clipFirst + 1;
    s.edit.operationRange = clip;
    s.edit.operationAxis = rows ? HeaderMode::RowHeader : HeaderMode::ColumnHeader;
    const int target = CopyLines(s, axis, CopyWording::Move);
    if (target < 0) {
        s.edit.operationRange.clear();
        return;
    }
    const bool above = target <= clipFirst;
    const int first = above ? clipFirst + n : clipFirst;
    if (rows) {
        s.history.recordLines(HistKind::MoveRows, first, n, s.table, s.host.modified());
        s.history.adoptRows(DeleteRows(s, first, n, true, true));
    } else {
        s.history.recordLines(HistKind::MoveCols, first, n, s.table, s.host.modified());
        DeleteColumns(s, first, n, true);
    }
    s.host.historyChanged();
    const int newFirst = above ? target : target - n;
    const StringGrid& g = s.table.grid;
    if (rows)
        s.edit.clipRange = CellRange{kFirstDataCol, newFirst, g.colCount() - 1, newFirst + n - 1};
    else
        s.edit.clipRange = CellRange{newFirst, g.fixedRows(), newFirst + n - 1, g.rowCount() - 1};
    s.edit.operationRange.clear();
    s.edit.operationAxis = HeaderMode::Cells;
    s.host.repaint();
    s.host.focusGrid();
}

void CopyClippedLines(EditSession& s, Axis axis) {
    s.edit.operationRange = s.edit.clipRange.normalised();
    s.edit.operationAxis = isRows(axis) ? HeaderMode::RowHeader : HeaderMode::ColumnHeader;
    if (CopyLines(s, axis, CopyWording::Clip) < 0) s.edit.operationRange.clear();
}

void LineDragged(EditSession& s, Axis axis, int from, int to) {
    StringGrid& g = s.table.grid;
    const bool rows = isRows(axis);
    if (from == to || from < firstLine(axis) || to < firstLine(axis) ||
        from >= lineCount(s, axis) || to >= lineCount(s, axis))
        return;
    s.history.recordMove(rows ? HistKind::DragRow : HistKind::DragCol, from, to, s.host.modified());
    s.host.historyChanged();
    if (rows) {
        g.moveRow(from, to);
        auto& records = s.table.rowRecords;
        records.resize(static_cast<std::size_t>(g.rowCount()));
        if (from < to)
            std::rotate(records.begin() + from, records.begin() + from + 1,
                        records.begin() + to + 1);
        else
            std::rotate(records.begin() + to, records.begin() + from, records.begin() + from + 1);
        s.host.rowsChanged(std::min(from, to));
        s.edit.clickRow = to;
    } else {
        g.moveCol(from, to);
        auto& records = s.table.colRecords;
        records.resize(static_cast<std::size_t>(g.colCount()));
        if (from < to)
            std::rotate(records.begin() + from, records.begin() + from + 1,
                        records.begin() + to + 1);
        else
            std::rotate(records.begin() + to, records.begin() + from, records.begin() + from + 1);
        s.host.refreshColumns();
        s.edit.clickCol = to;
    }
    s.host.repaint();
    s.host.setModified(true);
}

void SetColumnVisible(Table& table, int col, bool visible, double charWidth) {
    if (col < 0 || col >= table.grid.colCount() || col >= static_cast<int>(table.colRecords.size()))
        return;
    ColumnRecord& record = table.colRecords[col];
    record.visible = visible;
    table.grid.setColWidth(col, visible ? record.width : static_cast<int>(charWidth));
}

void ColumnDisplay(EditSession& s, bool visible, double charWidth) {
    LineSpan span{clickedLine(s, Axis::Columns), clickedLine(s, Axis::Columns)};
    if (HasLineRange(s, Axis::Columns)) span = rangeLines(s, Axis::Columns);
    for (int c = std::max(span.first, kFirstDataCol); c <= span.last && c < s.table.grid.colCount();
         ++c)
        SetColumnVisible(s.table, c, visible, charWidth);
    s.edit.operationRange.clear();
    s.edit.operationAxis = HeaderMode::Cells;
    const int rememberedRow =
        s.edit.rememberedView.valid() ? s.edit.rememberedView.row : s.host.currentRow();
    SelectClipped(s, s.host.currentCol(), rememberedRow);
    s.host.repaint();
    s.host.focusGrid();
}

void RangeStart(EditSession& s, Axis axis) {
    const int line = clickedLine(s, axis);
    if (line < firstLine(axis) || line >= lineCount(s, axis)) return;
    setLineRange(s, axis, line, line);
    s.host.repaint();
}

} // namespace tabulix
