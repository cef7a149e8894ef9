#include "edit/RowImport.h"

#include "csv/CsvDialogRequests.h"
#include "csv/CsvParser.h"
#include "csv/FileReading.h"
#include "draw/BreakShade.h"
#include "edit/EditSession.h"
#include "edit/EditState.h"
#include "edit/RowColumnCores.h"
#include "edit/UndoHistory.h"
#include "table/Table.h"
#include "table/UserDialogs.h"
#include "text/DisplayWidth.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <filesystem>
#include <optional>

namespace tabulix {

namespace {

const char* const kTitle = "指定行位置に挿入するＣＳＶファイルを選択して下さい。";
const char* const kFilters = "(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*";
const char* const kNothing = "挿入できるデータはありません。";
const char* const kUnreadable = "ファイルを読み込めませんでした。\r\n\r\n   PATH = ";
const char* const kWiden =
    "挿入データの列数の方が大きいです。\r\n\r\n   列数を増やしてもよろしいですか？";

FileDialogRequest openRequest(const std::string& remembered, const std::string& programFolder) {
    namespace fs = std::filesystem;
    std::string folder = programFolder;
    std::string name = "*.csv";
    std::string extension = ".csv";
    if (!remembered.empty()) {
        const fs::path path{remembered};
        folder = path.parent_path().string();
        name = path.filename().string();
        extension = path.extension().string();
    }
    std::string filters;
    if (!extension.empty() && extension != ".")
        filters = "(*" + extension + ")|*" + extension + "|";
    filters += kFilters;
    return FileDialogRequest{kTitle, QtNameFilters(filters), folder, name, {}};
}

// Restores the separator and the cursor whatever way the import ends.
class ImportScope {
public:
    explicit ImportScope(EditSession& s) : s_(s), separator_(s.host.separator()) {
        s_.host.setBusy(true);
    }
    ~ImportScope() {
        s_.host.setSeparator(separator_);
        s_.host.setBusy(false);
        s_.host.repaint();
    }
    ImportScope(const ImportScope&) = delete;
    ImportScope& operator=(const ImportScope&) = delete;

private:
    EditSession& s_;
    Separator separator_;
};

} // namespace

void ImportRows(EditSession& s, const ImportSource& source) {
    std::string path;
    if (source.fromFile) {
        const std::string remembered = source.selectFilePath ? *source.selectFilePath : "";
        const auto chosen = s.dialogs.openFile(openRequest(remembered, source.programFolder));
        if (!chosen || chosen->empty()) return;
        path = *chosen;
        if (source.selectFilePath) *source.selectFilePath = path;
    }
    ImportScope scope(s);
    std::optional<TextFile> file;
    std::string_view text = source.clipboardText;
    if (source.fromFile) {
        file = ReadTextFile(path);
        if (!file) {
            s.dialogs.information(kUnreadable + path);
            return;
        }
        text = file->text();
    }
    // A text with a TAB is split at TABs whatever the separator.
    const Separator sep =
        text.find('\t') != std::string_view::npos ? Separator::of('\t') : s.host.separator();
    const std::size_t records = CountRecords(text, sep);
    if (records == 0) {
        s.dialogs.information(kNothing);
        return;
    }
    const int count = static_cast<int>(std::min<std::size_t>(records, 1u << 30));
    const std::string question =
        source.fromFile ? "このファイルを挿入します。\r\n\r\n   Path = " + path +
                              "\r\n\r\n   挿入行数 ： " + std::to_string(count) + " 行"
                        : "現在のクリップボードの内容を 【 挿入 】 します。\r\n\r\n   先頭内容 → " +
                              TextPreview(text, 20) + "\r\n\r\n   挿入行数 ： " +
                              std::to_string(count) + " 行";
    if (!s.dialogs.question(question)) return;
    s.host.setSeparator(sep);

    StringGrid& g = s.table.grid;
    int target = s.edit.clickRow >= 1 ? s.edit.clickRow : s.host.currentRow();
    target = std::clamp(target, 1, g.rowCount());
    s.history.recordLines(HistKind::InsertRows, target, count, s.table, s.host.modified());
    s.host.historyChanged();
    s.edit.operationRange.clear();
    s.edit.operationAxis = HeaderMode::Cells;
    InsertRows(s, target, count);

    std::optional<bool> widen;
    int i = 0;
    std::vector<std::string_view> cells;
    ParseRecords(text, sep, [&](std::span<const std::string> fields) {
        const int row = target + i++;
        if (row >= target + count) return;
        const int needed = static_cast<int>(fields.size()) + kFixedColCount;
        if (needed > g.colCount()) {
            if (!widen) widen = s.dialogs.question(kWiden);
            if (*widen) {
                const int added = needed - g.colCount();
                s.history.recordLines(HistKind::ImportCols, g.colCount(), added, s.table,
                                      s.host.modified());
                s.host.historyChanged();
                InsertColumns(s, 0, added, true, false);
            }
        }
        const std::string number = g.cellText(0, row);
        cells.clear();
        cells.push_back(number);
        cells.emplace_back();
        for (const std::string& field : fields) {
            if (static_cast<int>(cells.size()) >= g.colCount()) break;
            cells.push_back(field);
        }
        g.setRow(row, cells);
    });

    if (s.host.breakShades()) RecomputeBreakShades(s.table, -1, target);
    s.host.refreshColumns();
    s.host.refillFixedColumn(target, count);
    s.host.setModified(true);
    SetRowRange(s, target, target + count - 1);
    s.edit.operationAxis = HeaderMode::RowHeader;
    s.host.focusGrid();
}

} // namespace tabulix
