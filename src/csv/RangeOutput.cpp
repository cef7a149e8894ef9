#include "csv/RangeOutput.h"

#include "csv/CsvDialogRequests.h"
#include "csv/CsvWriter.h"
#include "table/StringGrid.h"
#include "text/TextHelpers.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <vector>

namespace tabulix {

namespace {

int numberOf(std::string_view digits) {
    long long n = 0;
    for (const char c : digits) {
        n = n * 10 + (c - '0');
        if (n > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(n);
}

} // namespace

OutputRange ReadOutputRange(std::string_view firstField, std::string_view lastField,
                            int lastRecord) {
    if (lastField.empty()) lastField = firstField;
    int a = numberOf(DigitsOnly(firstField));
    int b = numberOf(DigitsOnly(lastField));
    if (b < a) std::swap(a, b);
    a = std::max(a, 1);
    b = std::clamp(b, 1, std::max(lastRecord, 1));
    // A range that starts beyond the table is cut at its last record too.
    a = std::min(a, b);
    return {a, b};
}

std::string DefaultOutputName(std::string_view tablePath, std::string_view programFolder) {
    if (!tablePath.empty()) {
        std::filesystem::path path{std::string(tablePath)};
        const std::string stem = path.stem().string();
        return (path.parent_path() / (stem + "_02.csv")).string();
    }
    return std::string(programFolder) + "/TABULIX.CSV";
}

FileDialogRequest OutputFileRequest(std::string_view tablePath, std::string_view programFolder) {
    const std::filesystem::path name{DefaultOutputName(tablePath, programFolder)};
    return FileDialogRequest{
        "指定のファイル名で出力します。",
        QtNameFilters("(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*"),
        std::string(programFolder), name.string(), "csv"};
}

std::string OutputLine(const StringGrid& grid, int row, Separator sep) {
    if (row < 0 || row >= grid.rowCount()) return {};
    std::vector<std::string_view> fields;
    for (int c = grid.fixedCols(); c < grid.colCount(); ++c)
        fields.push_back(grid.cell(c, row));
    return EncodeCsvRow(fields, sep);
}

std::string OutputQuestion(std::string_view path, const OutputRange& range) {
    return "内容をＣＳＶ形式で下記のファイルに出力します。\r\n\r\n     PATH = " + std::string(path) +
           "\r\n\r\n     出力 Rec.No = " + std::to_string(range.first) + "  ～ " +
           std::to_string(range.last);
}

std::string OutputDoneNotice(std::string_view path, const OutputRange& range) {
    return "★出力しました。\r\n\r\n出力行数が 1000行を超えているので出力内容の\r\n表示は行いませんが、"
           "内容をＣＳＶ形式で\r\n下記のファイルに出力しました。\r\n\r\n     PATH = " +
           std::string(path) + "\r\n\r\n     出力 Rec.No = " + std::to_string(range.first) + "  ～ " +
           std::to_string(range.last);
}

} // namespace tabulix
