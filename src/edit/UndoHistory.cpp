#include "edit/UndoHistory.h"

#include "table/Table.h"
#include "text/DisplayWidth.h"

#include <algorithm>

namespace tabulix {

THistCtl& UndoHistory::append(THistCtl command, int items) {
    command.count = items;
    commands_.push_back(std::move(command));
    data_.resize(data_.size() + static_cast<std::size_t>(items));
    attributes_.resize(attributes_.size() + static_cast<std::size_t>(items));
    return commands_.back();
}

// At most kDepth commands: the oldest goes with its items.
void UndoHistory::applyDepthLimit() {
    while (static_cast<int>(commands_.size()) > kDepth) {
        const auto n = static_cast<std::ptrdiff_t>(commands_.front().count);
        data_.erase(data_.begin(), data_.begin() + n);
        attributes_.erase(attributes_.begin(), attributes_.begin() + n);
        commands_.pop_front();
    }
    // A chained command whose partner fell out would undo half a command:
    // it goes too.
    while (!commands_.empty() && IsChained(commands_.front().kind)) {
        const auto n = static_cast<std::ptrdiff_t>(commands_.front().count);
        data_.erase(data_.begin(), data_.begin() + n);
        attributes_.erase(attributes_.begin(), attributes_.begin() + n);
        commands_.pop_front();
    }
}

void UndoHistory::recordLines(HistKind kind, int first, int count, const Table& table,
                              bool modified) {
    count = std::max(count, 0);
    THistCtl command;
    command.kind = kind;
    command.start = first;
    command.wasModified = modified;
    append(std::move(command), count);
    const StringGrid& grid = table.grid;
    const std::size_t base = data_.size() - static_cast<std::size_t>(count);
    for (int i = 0; i < count; ++i) {
        const int line = first + i;
        THistInf& inf = attributes_[base + i];
        if (kind == HistKind::DeleteRows || kind == HistKind::MoveRows) {
            inf.height = grid.rowHeight(line);
            if (line >= 0 && line < static_cast<int>(table.rowRecords.size()))
                inf.rowRecord = table.rowRecords[line];
        } else if (kind == HistKind::DeleteCols || kind == HistKind::MoveCols) {
            inf.width = grid.colWidth(line);
            if (line >= 0 && line < static_cast<int>(table.colRecords.size()))
                inf.colRecord = table.colRecords[line];
            std::vector<std::string>& texts = data_[base + i].texts;
            texts.reserve(static_cast<std::size_t>(grid.rowCount()));
            for (int r = 0; r < grid.rowCount(); ++r)
                texts.emplace_back(grid.cell(line, r));
        }
    }
    applyDepthLimit();
}

void UndoHistory::adoptRows(std::vector<StringGrid::TakenRow>&& rows) {
    if (commands_.empty()) return;
    const int count = std::min(commands_.back().count, static_cast<int>(rows.size()));
    const std::size_t base = data_.size() - static_cast<std::size_t>(commands_.back().count);
    for (int i = 0; i < count; ++i)
        data_[base + i].row = std::move(rows[i]);
}

void UndoHistory::recordRange(HistKind kind, CellRange rect, const StringGrid& grid,
                              bool modified) {
    rect = rect.normalised();
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, grid.colCount() - 1);
    rect.bottom = std::min(rect.bottom, grid.rowCount() - 1);
    THistCtl command;
    command.kind = kind;
    command.rect = rect;
    command.wasModified = modified;
    append(std::move(command), 1);
    std::vector<std::string>& texts = data_.back().texts;
    for (int r = rect.top; r <= rect.bottom; ++r)
        for (int c = rect.left; c <= rect.right; ++c)
            texts.emplace_back(grid.cell(c, r));
    applyDepthLimit();
}

void UndoHistory::recordCell(HistKind kind, int col, int row, const StringGrid& grid,
                             bool modified) {
    THistCtl command;
    command.kind = kind;
    command.cellCol = col;
    command.cellRow = row;
    command.oldText = grid.cellText(col, row);
    command.wasModified = modified;
    append(std::move(command), 0);
    applyDepthLimit();
}

void UndoHistory::recordMove(HistKind kind, int from, int to, bool modified) {
    THistCtl command;
    command.kind = kind;
    command.cellCol = from;
    command.cellRow = to;
    command.wasModified = modified;
    append(std::move(command), 0);
    applyDepthLimit();
}

void UndoHistory::clear() {
    commands_.clear();
    data_.clear();
    attributes_.clear();
}

void UndoHistory::dropRowEdits() {
    while (!commands_.empty() && commands_.back().kind == HistKind::RowEdit)
        commands_.pop_back();
}

HistData& UndoHistory::data(int i) {
    return data_[data_.size() - static_cast<std::size_t>(commands_.back().count) + i];
}

const THistInf& UndoHistory::attributes(int i) const {
    return attributes_[attributes_.size() - static_cast<std::size_t>(commands_.back().count) + i];
}

void UndoHistory::popNewest() {
    if (commands_.empty()) return;
    const auto n = static_cast<std::ptrdiff_t>(commands_.back().count);
    data_.erase(data_.end() - n, data_.end());
    attributes_.erase(attributes_.end() - n, attributes_.end());
    commands_.pop_back();
}

std::size_t UndoHistory::savedTextBytes() const {
    std::size_t bytes = 0;
    for (const HistData& d : data_) {
        bytes += d.row.textBytes();
        for (const std::string& t : d.texts)
            bytes += t.size();
    }
    return bytes;
}

std::string HistLabel(const THistCtl& command) {
    switch (command.kind) {
    case HistKind::DeleteRows:
        return "行削除";
    case HistKind::InsertRows:
        return "行挿入";
    case HistKind::CopyRows:
        return "行複写";
    case HistKind::DeleteCols:
        return "列削除";
    case HistKind::InsertCols:
    case HistKind::ImportCols:
        return "列挿入";
    case HistKind::CopyCols:
        return "列複写";
    case HistKind::RangeClear:
        return "範囲クリアー";
    case HistKind::RangeConvert:
        return "範囲文字変換";
    case HistKind::RangePaste:
        return "範囲貼り付け";
    case HistKind::CellEdit:
    case HistKind::RowEdit:
        return std::string(headUnits(command.oldText, 20));
    case HistKind::DragRow:
    case HistKind::MoveRows:
        return "行移動";
    case HistKind::DragCol:
    case HistKind::MoveCols:
        return "列移動";
    }
    return "？";
}

UndoCaptions UndoMenuCaptions(const UndoHistory& history) {
    UndoCaptions captions;
    if (history.empty()) return captions;
    const THistCtl& newest = history.newest();
    int n = history.size();
    if (newest.kind == HistKind::RowEdit) {
        n = 0;
        const auto& commands = history.commands();
        for (auto it = commands.rbegin(); it != commands.rend() && it->kind == HistKind::RowEdit;
             ++it)
            ++n;
    }
    const std::string caption =
        "元に戻す  #" + std::to_string(n) + "  【" + HistLabel(newest) + "】";
    if (newest.kind == HistKind::RowEdit) {
        captions.rowEditor = caption;
        captions.rowEditorEnabled = true;
    } else {
        captions.main = caption;
        captions.mainEnabled = true;
    }
    return captions;
}

} // namespace tabulix
