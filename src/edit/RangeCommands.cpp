// The commands of the cell menu that work on the selected rectangle: clip,
// paste, release, clear and the character conversions.
#include "edit/RangeCommands.h"

#include "csv/CsvParser.h"
#include "csv/CsvWriter.h"
#include "draw/BreakShade.h"
#include "edit/EditSession.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"
#include "table/UserDialogs.h"
#include "text/CharConversion.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <vector>

namespace tabulix {

namespace {

CellRange selectionOf(const EditSession& s) {
    return s.host.selection().normalised();
}

// The rectangle cut to the data cells of the table.
CellRange clippedToData(CellRange r, const StringGrid& g) {
    r.left = std::max(r.left, g.fixedCols());
    r.top = std::max(r.top, g.fixedRows());
    r.right = std::min(r.right, g.colCount() - 1);
    r.bottom = std::min(r.bottom, g.rowCount() - 1);
    return r;
}

bool isEmpty(const CellRange& r) {
    return r.left < 0 || r.top < 0 || r.right < r.left || r.bottom < r.top;
}

void selectRect(EditSession& s, const CellRange& r) {
    if (!isEmpty(r)) s.host.setSelection(r.left, r.top, r.right, r.bottom);
}

// The shades of columns left .. right from row `top` down.
void recomputeShades(EditSession& s, int left, int right, int top) {
    if (!s.host.breakShades()) return;
    for (int c = left; c <= right; ++c)
        RecomputeBreakShades(s.table, c, top);
}

void copySelection(EditSession& s, ClipStore& clip, const CellRange& sel) {
    const StringGrid& g = s.table.grid;
    const int cols = sel.right - sel.left + 1;
    const int rows = sel.bottom - sel.top + 1;
    StringGrid copy(cols, rows);
    copy.setFixedCols(0);
    copy.setFixedRows(0);
    std::vector<std::string_view> cells(static_cast<std::size_t>(cols));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c)
            cells[static_cast<std::size_t>(c)] = g.cell(sel.left + c, sel.top + r);
        copy.setRow(r, std::span<const std::string_view>(cells));
    }
    clip.copyGrid = std::move(copy);
    clip.clipboard.setText(ClipText(clip.copyGrid, s.host.separator()));
}

std::string pasteQuestion(bool fromClipboard, std::string_view clipboardText,
                          const StringGrid& source) {
    if (!fromClipboard)
        return "【 貼り付け 】\r\n\r\n   クリップされた内容をカーソル位置の範囲に貼り付けます。";
    return "【 貼り付け 】\r\n\r\n   現在のクリップボードの内容をカーソル位置の範囲に貼り付けます。"
           "\r\n\r\n   先頭内容 → " +
           TextPreview(clipboardText, 20) + "\r\n\r\n   貼付行列数 ： " +
           std::to_string(source.rowCount()) + " 行\u3000" + std::to_string(source.colCount()) +
           " 列";
}

// Writes the source at the origin, row by row; what falls outside is dropped.
void writeSource(StringGrid& g, const StringGrid& source, int col, int row) {
    StringGrid::Batch batch(g);
    const int cols = std::min(source.colCount(), g.colCount() - col);
    std::vector<std::string_view> cells(static_cast<std::size_t>(std::max(cols, 0)));
    for (int r = 0; r < source.rowCount() && row + r < g.rowCount(); ++r) {
        for (int c = 0; c < cols; ++c)
            cells[static_cast<std::size_t>(c)] = source.cell(c, r);
        g.setCells(row + r, col, cells);
    }
}

} // namespace

bool AskWithHighlight(EditSession& s, const CellRange& range, std::uint32_t rgb,
                      const std::string& text) {
    s.edit.confirmHighlight = Highlight{range, rgb};
    s.host.repaint();
    const bool yes = s.dialogs.question(text);
    s.edit.confirmHighlight.clear();
    s.host.repaint();
    s.host.focusGrid();
    return yes;
}

std::string ClipText(const StringGrid& copy, Separator sep) {
    std::string out;
    std::vector<std::string_view> cells(static_cast<std::size_t>(copy.colCount()));
    for (int r = 0; r < copy.rowCount(); ++r) {
        if (r > 0) out += "\r\n";
        for (int c = 0; c < copy.colCount(); ++c)
            cells[static_cast<std::size_t>(c)] = copy.cell(c, r);
        out += EncodeCsvRow(cells, sep);
    }
    return out;
}

void ClipboardToGrid(std::string_view text, Separator sep, StringGrid& out) {
    std::vector<std::vector<std::string>> records;
    std::size_t width = 1;
    ParseRecords(text, sep, [&](std::span<const std::string> fields) {
        records.emplace_back(fields.begin(), fields.end());
        width = std::max(width, fields.size());
    });
    StringGrid grid(static_cast<int>(std::min<std::size_t>(width, StringGrid::kMaxRowCells)),
                    static_cast<int>(records.size()));
    grid.setFixedCols(0);
    grid.setFixedRows(0);
    for (std::size_t r = 0; r < records.size(); ++r)
        grid.setRow(static_cast<int>(r), records[r]);
    out = std::move(grid);
}

void ClipSelection(EditSession& s, ClipStore& clip, ClipKind kind) {
    const CellRange sel = selectionOf(s);
    if (isEmpty(sel)) return;
    s.host.setBusy(true);
    s.edit.clipKind = kind;
    if (kind != ClipKind::None) s.edit.clipRange = sel;
    copySelection(s, clip, sel);
    s.host.setBusy(false);
    s.host.repaint();
    s.host.focusGrid();
}

void PasteClip(EditSession& s, ClipStore& clip, PasteOrigin origin) {
    StringGrid& g = s.table.grid;
    const bool fromClipboard = s.edit.clipKind == ClipKind::None;
    std::string clipboardText;
    if (fromClipboard) {
        clipboardText = clip.clipboard.text();
        ClipboardToGrid(clipboardText, s.host.separator(), clip.copyGrid);
    }
    const StringGrid& source = clip.copyGrid;
    if (source.rowCount() == 0 || source.colCount() == 0) return;
    int col = s.host.currentCol();
    int row = s.host.currentRow();
    if (origin == PasteOrigin::RowStart) col = kFirstDataCol;
    if (origin == PasteOrigin::ColumnStart) row = g.fixedRows();
    const CellRange target{col, row, col + source.colCount() - 1, row + source.rowCount() - 1};
    const CellRange shown = clippedToData(target, g);
    selectRect(s, shown);
    if (s.host.confirmChecked(ConfirmItem::Paste) &&
        !s.dialogs.question(pasteQuestion(fromClipboard, clipboardText, source))) {
        s.host.focusGrid();
        return;
    }
    s.host.setBusy(true);
    s.host.setCurrentCell(col, row);
    s.history.recordRange(HistKind::RangePaste, target, g, s.host.modified());
    s.host.historyChanged();
    writeSource(g, source, col, row);
    recomputeShades(s, col, std::min(target.right, g.colCount() - 1), row);
    s.host.setModified(true);
    selectRect(s, shown);
    s.host.setBusy(false);
    s.host.repaint();
    s.host.focusGrid();
}

void ReleaseClip(EditSession& s, ClipStore& clip) {
    clip.clipboard.clear();
    s.edit.clipKind = ClipKind::None;
    s.edit.clipRange.clear();
    s.host.repaint();
    s.host.focusGrid();
}

void ClearSelection(EditSession& s, ClipStore& clip) {
    const CellRange sel = selectionOf(s);
    if (isEmpty(sel)) return;
    if (s.host.confirmChecked(ConfirmItem::Clear) &&
        !AskWithHighlight(s, sel, kHighlightDelete,
                          "【 クリアー 】\r\n\r\n   カーソル位置の範囲のセルをクリアーします。"))
        return;
    s.host.setBusy(true);
    StringGrid& g = s.table.grid;
    s.history.recordRange(HistKind::RangeClear, sel, g, s.host.modified());
    s.host.historyChanged();
    // The cut: a later paste reads the clipboard, the clip range stays shown.
    s.edit.clipKind = ClipKind::None;
    copySelection(s, clip, sel);
    const std::vector<std::string_view> empty(static_cast<std::size_t>(sel.right - sel.left + 1));
    {
        StringGrid::Batch batch(g);
        for (int r = sel.top; r <= sel.bottom; ++r)
            g.setCells(r, sel.left, empty);
    }
    recomputeShades(s, sel.left, sel.right, sel.top);
    s.host.setModified(true);
    s.host.setBusy(false);
    s.host.repaint();
}

std::string ConversionLabel(std::string_view caption) {
    std::string_view label = TrimBlanks(caption);
    for (int i = 0; i < 2 && !label.empty(); ++i)
        label.remove_prefix(std::min(label.size(), decodeUtf8(label, 0).length));
    return std::string(label);
}

std::string Convert(Conversion conversion, std::string_view text) {
    switch (conversion) {
    case Conversion::ToFullWidth:
        return ToFullWidth(text);
    case Conversion::ToHalfWidth:
        return ToHalfWidth(text);
    case Conversion::ToKatakana:
        return ToKatakana(text);
    case Conversion::ToHiragana:
        return ToHiragana(text);
    }
    return std::string(text);
}

void ConvertSelection(EditSession& s, Conversion conversion, std::string_view label) {
    const CellRange sel = selectionOf(s);
    if (isEmpty(sel)) return;
    const std::string question = "カーソル位置の範囲のセルの文字変換を行います。\r\n\r\n      【 " +
                                 std::string(label) + " 】";
    if (!AskWithHighlight(s, sel, kHighlightInsert, question)) return;
    s.host.setBusy(true);
    StringGrid& g = s.table.grid;
    s.history.recordRange(HistKind::RangeConvert, sel, g, s.host.modified());
    s.host.historyChanged();
    {
        StringGrid::Batch batch(g);
        std::vector<std::string> converted(static_cast<std::size_t>(sel.right - sel.left + 1));
        std::vector<std::string_view> views(converted.size());
        for (int r = sel.top; r <= sel.bottom; ++r) {
            for (int c = sel.left; c <= sel.right; ++c) {
                auto& text = converted[static_cast<std::size_t>(c - sel.left)];
                text = Convert(conversion, g.cell(c, r));
                views[static_cast<std::size_t>(c - sel.left)] = text;
            }
            g.setCells(r, sel.left, views);
        }
    }
    recomputeShades(s, sel.left, sel.right, sel.top);
    s.host.setModified(true);
    s.host.setBusy(false);
    s.host.repaint();
}

} // namespace tabulix
