#include "csv/CsvDialogRequests.h"

#include "text/TextHelpers.h"

#include <filesystem>
#include <vector>

namespace tabulix {

namespace {

namespace fs = std::filesystem;

const char* const kCommonFilters =
    "(*.csv)|*.csv|(*.csv; *.txt)|*.csv; *.txt|(*.txt)|*.txt|(*.*)|*.*";

struct StartName {
    std::string folder;
    std::string name; // a file name, or "*" + extension
    std::string extension;
};

StartName startName(std::string_view currentPath, std::string_view lastEditPath,
                    std::string_view programFolder) {
    const fs::path current{std::string(TrimBlanks(currentPath))};
    if (!current.empty())
        return {current.parent_path().string(), current.filename().string(),
                current.extension().string()};
    const fs::path last{std::string(TrimBlanks(lastEditPath))};
    std::string folder = last.parent_path().string();
    std::string extension = last.extension().string();
    if (folder.empty()) {
        folder = std::string(programFolder);
        extension = ".csv";
    }
    return {folder, "*" + extension, extension};
}

std::vector<std::string_view> splitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t bar; (bar = text.find('|', start)) != std::string_view::npos; start = bar + 1)
        parts.push_back(text.substr(start, bar - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string qtPatterns(std::string_view patterns) {
    std::string out;
    std::size_t start = 0;
    while (start < patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string_view::npos) end = patterns.size();
        const std::string_view one = TrimBlanks(patterns.substr(start, end - start));
        if (!one.empty()) {
            if (!out.empty()) out += ' ';
            out += one == "*.*" ? std::string_view("*") : one;
        }
        start = end + 1;
    }
    return out;
}

FileDialogRequest request(const char* title, const StartName& start) {
    std::string filters;
    if (!start.extension.empty() && start.extension != ".")
        filters = "(*" + start.extension + ")|*" + start.extension + "|";
    filters += kCommonFilters;
    return FileDialogRequest{title, QtNameFilters(filters), start.folder, start.name, {}};
}

} // namespace

std::string QtNameFilters(std::string_view filterList) {
    const auto parts = splitBars(filterList);
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string patterns = qtPatterns(parts[i + 1]);
        std::string filter(parts[i]);
        // Qt reads the patterns from the last parenthesised group.
        if (filter != "(" + patterns + ")") filter += " (" + patterns + ")";
        if (!out.empty()) out += ";;";
        out += filter;
    }
    return out;
}

FileDialogRequest OpenCsvRequest(std::string_view currentPath, std::string_view lastEditPath,
                                 std::string_view programFolder) {
    return request("読み込む Csv ファイルを選択して下さい。",
                   startName(currentPath, lastEditPath, programFolder));
}

FileDialogRequest SaveCsvRequest(std::string_view currentPath, std::string_view lastEditPath,
                                 std::string_view programFolder) {
    FileDialogRequest r = request("Csv ファイルとして指定のファイル名で保存します。",
                                  startName(currentPath, lastEditPath, programFolder));
    r.defaultSuffix = "csv";
    return r;
}

std::string WithCsvExtension(std::string_view path) {
    const fs::path p{std::string(path)};
    if (p.has_extension()) return std::string(path);
    return std::string(path) + ".csv";
}

} // namespace tabulix
